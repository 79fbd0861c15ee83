#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kelmo {

// One format tag the codec manager offers: its number (as WAVEFORMATEX.wFormatTag holds it), the
// name the chooser shows and the program compares, the FFmpeg encoder that writes it, and the size
// of a WAVEFORMATEX of that tag (18 + the cbSize its extra fields need).
struct AcmFormatTag {
  uint16_t tag;
  std::string_view name;
  std::string_view encoder;
  uint32_t formatSize;
};

// Every format tag offered, PCM first.
std::span<const AcmFormatTag> AcmFormatTags();

// The row of `tag`, or null when the tag is not offered.
const AcmFormatTag* FindAcmFormatTag(uint16_t tag);

// The size in bytes of the largest format any offered tag describes: the room a format buffer
// needs so that any choice fits.
uint32_t AcmMaxFormatSize();

}  // namespace kelmo
