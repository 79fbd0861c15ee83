#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelmo {

// The pixel layouts the capture sources deliver and the AVI writer takes.
enum class PixelFormat {
  Bgr24,  // three bytes a pixel, blue first (the byte order of a 24-bit bitmap)
  Yuyv,   // YUY2: two pixels in four bytes, Y0 U Y1 V
};

// The bitmap header's description of a pixel format: biCompression and biBitCount.
uint32_t PixelFormatCompression(PixelFormat format);
uint16_t PixelFormatBitCount(PixelFormat format);

// One picture from a capture source, rows top to bottom without padding.
struct VideoFrame {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Bgr24;
  std::vector<uint8_t> data;
  uint64_t sequence = 0;  // counts the source's frames from the start of its stream

  std::size_t Stride() const;
  // Allocates `data` for a picture of this shape.
  void Resize(int w, int h, PixelFormat f);
};

// Bytes one row of `width` pixels takes.
std::size_t RowBytes(int width, PixelFormat format);

// Converts between the two layouts, same size (width even for YUY2). BT.601, studio range.
void BgrToYuyv(std::span<const uint8_t> bgr, std::span<uint8_t> yuyv, int width, int height);
void YuyvToBgr(std::span<const uint8_t> yuyv, std::span<uint8_t> bgr, int width, int height);

}  // namespace kelmo
