#include "audio/sim/SimVolumeControl.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace kelmo {

bool SimVolumeControl::NoMixerFromEnvironment() {
  const char* value = std::getenv("KELMO_SIM_MIXER_FAIL");
  return value != nullptr && std::string(value) == "1";
}

VolumeResult SimVolumeControl::SetVolume(int percent) {
  if (noMixer) return {VolumeErrorKind::NoMixer, "the simulated sound card has no mixer"};
  level = std::clamp(percent, 0, 100);
  return {};
}

}  // namespace kelmo
