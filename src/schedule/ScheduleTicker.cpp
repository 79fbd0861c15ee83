#include "schedule/ScheduleTicker.h"

#include <cstdio>

namespace kelmo {

bool ScheduleTicker::ScheduleTick() {
  if (state.timerBusy) return false;
  state.timerBusy = 1;
  const int64_t now = clock.Now();

  capture.QueryCaptureStatus();
  // While something records, the status line and the clock field show the recording's progress.
  if (!capture.CapturingNow() && state.recordingToFile == 0) ShowClock(now);
  view.SetOverlayText(state.overlayOn ? "Overlay ON" : "Overlay OFF");

  state.timerBusy = 0;
  return true;
}

void ScheduleTicker::ShowClock(int64_t now) {
  const LocalTime t = clock.ToLocal(now);
  char text[16];
  std::snprintf(text, sizeof text, "%02i:%02i:%02i", t.hour, t.minute, t.second);
  view.SetStatusLine("");
  view.SetClockText(text);
}

}  // namespace kelmo
