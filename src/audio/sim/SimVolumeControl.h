#pragma once

#include "audio/VolumeControl.h"

namespace kelmo {

// A model of a sound card's master volume: one level, 0..100, starting at 75. With
// KELMO_SIM_MIXER_FAIL=1 the card has no mixer: every change fails with NoMixer.
class SimVolumeControl final : public VolumeControl {
 public:
  explicit SimVolumeControl(bool noMixer = false) : noMixer(noMixer) {}
  static bool NoMixerFromEnvironment();

  int Volume() override { return noMixer ? -1 : level; }
  [[nodiscard]] VolumeResult SetVolume(int percent) override;

 private:
  bool noMixer;
  int level = 75;
};

}  // namespace kelmo
