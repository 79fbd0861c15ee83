#include "capture/VideoFrame.h"

#include <algorithm>

#include "capture/BitmapInfoHeader.h"

namespace kelmo {
namespace {

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

uint32_t PixelFormatCompression(PixelFormat format) {
  return format == PixelFormat::Yuyv ? kFourccYuy2 : kBiRgb;
}

uint16_t PixelFormatBitCount(PixelFormat format) { return format == PixelFormat::Yuyv ? 16 : 24; }

std::size_t RowBytes(int width, PixelFormat format) {
  return static_cast<std::size_t>(width) * (format == PixelFormat::Yuyv ? 2 : 3);
}

std::size_t VideoFrame::Stride() const { return RowBytes(width, format); }

void VideoFrame::Resize(int w, int h, PixelFormat f) {
  width = w;
  height = h;
  format = f;
  data.resize(RowBytes(w, f) * static_cast<std::size_t>(h));
}

void BgrToYuyv(std::span<const uint8_t> bgr, std::span<uint8_t> yuyv, int width, int height) {
  const std::size_t pairs = static_cast<std::size_t>(width / 2) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < pairs; ++i) {
    const uint8_t* p = &bgr[i * 6];
    uint8_t* q = &yuyv[i * 4];
    const int b = (p[0] + p[3]) / 2, g = (p[1] + p[4]) / 2, r = (p[2] + p[5]) / 2;
    q[0] = Clamp(((66 * p[2] + 129 * p[1] + 25 * p[0] + 128) >> 8) + 16);
    q[2] = Clamp(((66 * p[5] + 129 * p[4] + 25 * p[3] + 128) >> 8) + 16);
    q[1] = Clamp(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
    q[3] = Clamp(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
  }
}

void YuyvToBgr(std::span<const uint8_t> yuyv, std::span<uint8_t> bgr, int width, int height) {
  const std::size_t pairs = static_cast<std::size_t>(width / 2) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < pairs; ++i) {
    const uint8_t* q = &yuyv[i * 4];
    uint8_t* p = &bgr[i * 6];
    const int d = q[1] - 128, e = q[3] - 128;
    for (int k = 0; k < 2; ++k) {
      const int c = 298 * (q[k * 2] - 16);
      p[k * 3 + 0] = Clamp((c + 516 * d + 128) >> 8);
      p[k * 3 + 1] = Clamp((c - 100 * d - 208 * e + 128) >> 8);
      p[k * 3 + 2] = Clamp((c + 409 * e + 128) >> 8);
    }
  }
}

}  // namespace kelmo
