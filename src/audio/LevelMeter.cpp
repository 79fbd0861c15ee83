#include "audio/LevelMeter.h"

#include <algorithm>
#include <string>

namespace kelmo {
namespace {

// 99/127 and 99/32767 rounded to single precision, just below the exact ratios, so a full-scale
// peak shows 98. The product is taken in double: in single precision it would round up to 99.
constexpr float k8BitScale = 0.77952754f;
constexpr float k16BitScale = 0.0030213324f;
constexpr std::size_t kMeteredValues = 200;

}  // namespace

void LevelMeter::Show(std::span<const uint8_t> samples, uint16_t bitsPerSample) {
  if (state.levelMeterOn == 0) return;
  const int level = LevelOf(samples, bitsPerSample);
  view.SetLevelMeter(level);
  view.SetLevelText(std::to_string(level));
}

void LevelMeter::Clear() {
  view.SetLevelMeter(0);
  view.SetLevelText("");
}

int LevelMeter::LevelOf(std::span<const uint8_t> samples, uint16_t bitsPerSample) {
  if (bitsPerSample == 8) {
    int peak = 0;
    for (std::size_t i = 0; i < std::min(kMeteredValues, samples.size()); ++i) {
      peak = std::max<int>(peak, samples[i]);
    }
    return static_cast<int>((peak - 128) * static_cast<double>(k8BitScale));
  }
  if (bitsPerSample == 16) {
    int peak = 0;
    for (std::size_t i = 0; i < std::min(kMeteredValues, samples.size() / 2); ++i) {
      const auto s = static_cast<int16_t>(samples[2 * i] | (samples[2 * i + 1] << 8));
      peak = std::max<int>(peak, s);
    }
    return static_cast<int>(peak * static_cast<double>(k16BitScale));
  }
  return 0;
}

}  // namespace kelmo
