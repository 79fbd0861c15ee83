#include "audio/WaveFormat.h"

#include "base/LittleEndian.h"

namespace kelmo {

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

}  // namespace kelmo
