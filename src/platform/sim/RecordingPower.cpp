#include "platform/sim/RecordingPower.h"

#include <cstdio>

namespace kelmo {

void RecordingPower::Shutdown() {
  ++count;
  std::fprintf(stderr, "kelmo: shutdown requested (simulated power: the machine stays on)\n");
}

}  // namespace kelmo
