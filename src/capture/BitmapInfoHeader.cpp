#include "capture/BitmapInfoHeader.h"

#include "base/LittleEndian.h"

namespace kelmo {

bool IsValidBitmapInfoBlock(std::span<const uint8_t> block) {
  if (block.size() < BitmapInfoHeader::kSize) return false;
  const uint32_t size = Get32(block, 0);
  return size >= BitmapInfoHeader::kSize && size <= block.size();
}

std::vector<uint8_t> BitmapInfoHeader::ToBytes() const {
  std::vector<uint8_t> b;
  b.reserve(kSize);
  Put32(b, kSize);
  Put32(b, static_cast<uint32_t>(biWidth));
  Put32(b, static_cast<uint32_t>(biHeight));
  Put16(b, biPlanes);
  Put16(b, biBitCount);
  Put32(b, biCompression);
  Put32(b, biSizeImage);
  Put32(b, static_cast<uint32_t>(biXPelsPerMeter));
  Put32(b, static_cast<uint32_t>(biYPelsPerMeter));
  Put32(b, biClrUsed);
  Put32(b, biClrImportant);
  return b;
}

std::optional<BitmapInfoHeader> BitmapInfoHeader::FromBytes(std::span<const uint8_t> block) {
  if (!IsValidBitmapInfoBlock(block)) return std::nullopt;
  BitmapInfoHeader h;
  h.biSize = Get32(block, 0);
  h.biWidth = static_cast<int32_t>(Get32(block, 4));
  h.biHeight = static_cast<int32_t>(Get32(block, 8));
  h.biPlanes = Get16(block, 12);
  h.biBitCount = Get16(block, 14);
  h.biCompression = Get32(block, 16);
  h.biSizeImage = Get32(block, 20);
  h.biXPelsPerMeter = static_cast<int32_t>(Get32(block, 24));
  h.biYPelsPerMeter = static_cast<int32_t>(Get32(block, 28));
  h.biClrUsed = Get32(block, 32);
  h.biClrImportant = Get32(block, 36);
  return h;
}

}  // namespace kelmo
