#include "audio/WaveFormat.h"

namespace kelmo {

namespace {

uint16_t Get16(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t Get32(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

bool IsValidWaveFormatBlock(std::span<const uint8_t> block) {
  return block.size() >= WaveFormatEx::kBaseSize &&
         WaveFormatEx::kBaseSize + Get16(block, 16) <= block.size();
}

std::size_t WaveFormatBlockSize(std::span<const uint8_t> block) {
  return IsValidWaveFormatBlock(block) ? WaveFormatEx::kBaseSize + Get16(block, 16) : 0;
}

std::vector<uint8_t> WaveFormatEx::ToBytes() const {
  std::vector<uint8_t> b;
  b.reserve(kBaseSize + extra.size());
  Put16(b, wFormatTag);
  Put16(b, nChannels);
  Put32(b, nSamplesPerSec);
  Put32(b, nAvgBytesPerSec);
  Put16(b, nBlockAlign);
  Put16(b, wBitsPerSample);
  Put16(b, static_cast<uint16_t>(extra.size()));
  b.insert(b.end(), extra.begin(), extra.end());
  return b;
}

std::optional<WaveFormatEx> WaveFormatEx::FromBytes(std::span<const uint8_t> block) {
  if (!IsValidWaveFormatBlock(block)) return std::nullopt;
  WaveFormatEx f;
  f.wFormatTag = Get16(block, 0);
  f.nChannels = Get16(block, 2);
  f.nSamplesPerSec = Get32(block, 4);
  f.nAvgBytesPerSec = Get32(block, 8);
  f.nBlockAlign = Get16(block, 12);
  f.wBitsPerSample = Get16(block, 14);
  f.extra.assign(block.begin() + kBaseSize, block.begin() + kBaseSize + Get16(block, 16));
  return f;
}

WaveFormatEx DefaultPcmFormat() { return MakePcmFormat(22050, 1, 16); }

WaveFormatEx MakePcmFormat(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample) {
  WaveFormatEx f;
  f.wFormatTag = 1;  // PCM
  f.nChannels = channels;
  f.nSamplesPerSec = samplesPerSec;
  f.nBlockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
  f.nAvgBytesPerSec = samplesPerSec * f.nBlockAlign;
  f.wBitsPerSample = bitsPerSample;
  return f;
}

bool IsPlainPcm(const WaveFormatEx& f) {
  return f.wFormatTag == 1 && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 1000 &&
         f.nSamplesPerSec <= 192000 && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
         f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

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
