#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "audio/WaveFormat.h"

namespace kelmo {

// Format tags of the sound formats recordings are written in.
inline constexpr uint16_t kTagPcm = 0x0001;
inline constexpr uint16_t kTagMsAdpcm = 0x0002;
inline constexpr uint16_t kTagALaw = 0x0006;
inline constexpr uint16_t kTagMuLaw = 0x0007;
inline constexpr uint16_t kTagImaAdpcm = 0x0011;
inline constexpr uint16_t kTagGsm610 = 0x0031;
inline constexpr uint16_t kTagMpegLayer3 = 0x0055;

// One sound format as the codecs write it, before it is described as a WAVEFORMATEX.
struct AcmFormatRequest {
  uint16_t tag = kTagPcm;
  uint32_t samplesPerSec = 22050;
  uint16_t channels = 1;
  uint16_t bitsPerSample = 16;  // PCM only: 8 or 16
  uint32_t bitRate = 0;         // MPEG Layer-3 only: bits per second
};

// The WAVEFORMATEX of a request as other players expect it: the byte rate, block align and bits
// a codec of that tag declares, and its extra bytes (samples per block for the ADPCM codecs and
// GSM 6.10, the seven coefficient pairs of Microsoft ADPCM, the MPEG Layer-3 fields). nullopt for a
// request the codecs do not take.
std::optional<WaveFormatEx> DescribeAcmFormat(const AcmFormatRequest& request);

// The block of an ADPCM format at a sample rate: 256 bytes a channel up to 11025 Hz, 512 at 22050
// Hz, 1024 above.
uint16_t AdpcmBlockAlign(uint32_t samplesPerSec, uint16_t channels);

// Samples in one block of an ADPCM or GSM 6.10 format (from its extra bytes); 0 for other tags or
// a format without them.
uint32_t SamplesPerBlock(const WaveFormatEx& format);

// Every format the codecs offer, tag by tag in the order of the format tag table, each tag's
// formats by rate, then channels (and sample size for PCM, bit rate for MPEG Layer-3).
std::vector<WaveFormatEx> OfferedWaveFormats();

}  // namespace kelmo
