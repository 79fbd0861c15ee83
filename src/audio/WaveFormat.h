#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelmo {

// An audio format as the capture window, the wave devices and the codec manager exchange it, and as
// config.dat stores it: 18 little-endian bytes, then cbSize extra bytes that belong to the format
// tag (the C struct of the Windows version is 20 bytes with padding; the stored form has none).
struct WaveFormatEx {
  static constexpr std::size_t kBaseSize = 18;

  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  std::vector<uint8_t> extra;  // the bytes after the base fields; their count is cbSize

  // The stored form: 18 + extra.size() bytes, with cbSize = extra.size().
  std::vector<uint8_t> ToBytes() const;
  // The format at the start of `block`; nullopt when the block fails IsValidWaveFormatBlock.
  static std::optional<WaveFormatEx> FromBytes(std::span<const uint8_t> block);
};

// A block may be used as a WAVEFORMATEX: at least 18 bytes, and its 18 + cbSize bytes fit in it.
bool IsValidWaveFormatBlock(std::span<const uint8_t> block);

// 18 + cbSize of a valid block: the bytes that make up the format.
std::size_t WaveFormatBlockSize(std::span<const uint8_t> block);

// The format most of the program starts from: PCM, mono, 22050 Hz, 16 bits.
WaveFormatEx DefaultPcmFormat();

// Plain samples a sound card records and plays: PCM, 1 or 2 channels, 8 or 16 bits, 1000 to
// 192000 samples a second, with the block align and byte rate those imply.
bool IsPlainPcm(const WaveFormatEx& format);

// A plain PCM format of that rate, channel count and sample size, every field consistent.
WaveFormatEx MakePcmFormat(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample);

}  // namespace kelmo
