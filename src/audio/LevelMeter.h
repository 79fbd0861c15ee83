#pragma once

#include <cstdint>
#include <span>

#include "base/AppState.h"
#include "base/MainWindowView.h"

namespace kelmo {

// The level meter and its text, fed by whoever holds the sound input: the wave capture (monitoring
// or recording sound) or an AVI capture, which hands on the sound it records. So the meter that is
// on keeps showing the level while a recording owns the device. Any thread.
class LevelMeter {
 public:
  LevelMeter(const AppState& state, MainWindowView& view) : state(state), view(view) {}

  // One full buffer of samples: its level, while the meter is on.
  void Show(std::span<const uint8_t> samples, uint16_t bitsPerSample);
  // The meter and its text empty.
  void Clear();

  // The meter's value for the first 200 samples of a buffer: 0 for silence, 98 at full scale,
  // negative for 8-bit samples all below the middle; 0 for other sample sizes.
  static int LevelOf(std::span<const uint8_t> samples, uint16_t bitsPerSample);

 private:
  const AppState& state;
  MainWindowView& view;
};

}  // namespace kelmo
