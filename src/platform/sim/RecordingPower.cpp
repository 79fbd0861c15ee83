#include "platform/sim/RecordingPower.h"

#include <cstdio>

namespace kelmo {

PowerResult RecordingPower::Shutdown() {
  ++count;
  std::fprintf(stderr, "kelmo: shutdown requested (simulated power: the machine stays on)\n");
  if (refuse) return {PowerResult::Kind::Refused, "The simulated power manager refused."};
  return {};
}

PowerResult RecordingPower::Inhibit(const std::string& why) {
  if (refuse) {
    held.clear();
    return {PowerResult::Kind::Refused, "The simulated power manager refused."};
  }
  if (why != held) history.push_back(why);
  held = why;
  return {};
}

}  // namespace kelmo
