#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelmo {

// A video format's header, as the capture window and config.dat hold it: 40 little-endian bytes,
// possibly followed by a colour table.
struct BitmapInfoHeader {
  static constexpr std::size_t kSize = 40;

  uint32_t biSize = kSize;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // positive: bottom-up rows
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;  // 0 for RGB, otherwise a four-character code
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;

  std::vector<uint8_t> ToBytes() const;
  // The header at the start of `block`; nullopt when the block fails IsValidBitmapInfoBlock.
  static std::optional<BitmapInfoHeader> FromBytes(std::span<const uint8_t> block);
};

// A block may be used as a BITMAPINFO: at least 40 bytes, and its biSize (at least 40) fits in it.
bool IsValidBitmapInfoBlock(std::span<const uint8_t> block);

// Four-character codes as biCompression holds them.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kFourccYuy2 = 0x32595559;  // 'Y' 'U' 'Y' '2'

}  // namespace kelmo
