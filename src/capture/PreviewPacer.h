#pragma once

#include <cstdint>

namespace kelmo {

// Which frames of a source the live picture shows at its preview rate. Each frame is due on a
// schedule of one per period, and a frame up to half a period early counts as on time: a source
// at the preview rate itself delivers with a millisecond of jitter either way, and a frame
// refused for arriving 39 ms after the last at a 40 ms rate would halve the picture's rate and
// make each shown frame wait a period longer. The grabber thread's.
class PreviewPacer {
 public:
  // Whether the frame that arrived at `nowMs` (monotonic) is shown, for a period of `periodMs`.
  bool Due(int64_t nowMs, int periodMs) {
    if (started && nowMs + periodMs / 2 < nextMs) return false;
    // After a pause the schedule starts again from now rather than catching up in a burst.
    nextMs = started && nowMs - nextMs < periodMs ? nextMs + periodMs : nowMs + periodMs;
    started = true;
    return true;
  }

 private:
  bool started = false;
  int64_t nextMs = 0;
};

}  // namespace kelmo
