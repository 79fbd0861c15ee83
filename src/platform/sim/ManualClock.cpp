#include "platform/sim/ManualClock.h"

namespace kelmo {

void ManualClock::Sleep(int milliseconds) {
  if (milliseconds <= 0) return;
  slept += milliseconds;
  AdvanceMilliseconds(milliseconds);
}

void ManualClock::AdvanceMilliseconds(int64_t milliseconds) {
  if (milliseconds <= 0) return;
  nowMs += milliseconds;
  monotonicMs += milliseconds;
}

}  // namespace kelmo
