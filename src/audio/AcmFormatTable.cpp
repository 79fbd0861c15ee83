#include "audio/AcmFormatTable.h"

#include <algorithm>
#include <array>

namespace kelmo {

namespace {

constexpr std::array<AcmFormatTag, 9> kFormatTags{{
    // plain samples, 8 or 16 bits; no extra fields
    {0x0001, "PCM", "pcm_s16le", 18},
    // cbSize 32: samples per block, the coefficient count (7) and seven coefficient pairs
    {0x0002, "Microsoft ADPCM", "adpcm_ms", 50},
    // G.711 A-law, 8 bits a sample; no extra fields
    {0x0006, "CCITT A-Law", "pcm_alaw", 18},
    // G.711 mu-law, 8 bits a sample; no extra fields
    {0x0007, "CCITT u-Law", "pcm_mulaw", 18},
    // cbSize 2: samples per block
    {0x0011, "IMA ADPCM", "adpcm_ima_wav", 20},
    // cbSize 2: samples per block (320 for a 65-byte block pair)
    {0x0031, "GSM 6.10", "libgsm_ms", 20},
    // cbSize 12: id, flags, block size, frames per block, codec delay
    {0x0055, "MPEG Layer-3", "libmp3lame", 30},
    // cbSize 4: samples per block and encoder options
    {0x0160, "Windows Media Audio V1", "wmav1", 22},
    // cbSize 10: samples per block, encoder options and super-block alignment
    {0x0161, "Windows Media Audio V2", "wmav2", 28},
}};

}  // namespace

std::span<const AcmFormatTag> AcmFormatTags() { return kFormatTags; }

const AcmFormatTag* FindAcmFormatTag(uint16_t tag) {
  const auto it = std::find_if(kFormatTags.begin(), kFormatTags.end(),
                               [tag](const AcmFormatTag& row) { return row.tag == tag; });
  return it == kFormatTags.end() ? nullptr : &*it;
}

uint32_t AcmMaxFormatSize() {
  uint32_t largest = 0;
  for (const AcmFormatTag& row : kFormatTags) largest = std::max(largest, row.formatSize);
  return largest;
}

}  // namespace kelmo
