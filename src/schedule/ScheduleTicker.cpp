#include "schedule/ScheduleTicker.h"

#include <cstdio>

namespace kelmo {

bool ScheduleTicker::ScheduleTick() {
  AppState& s = ctx.state;
  if (s.timerBusy) return false;
  s.timerBusy = 1;
  const int64_t now = ctx.clock.Now();

  ctx.capture.QueryCaptureStatus();
  // While something records, the status line and the clock field show the recording's progress.
  if (!ctx.capture.CapturingNow() && s.recordingToFile == 0) ShowClock(now);
  view.SetOverlayText(s.overlayOn ? "Overlay ON" : "Overlay OFF");

  s.timerBusy = 0;
  return true;
}

void ScheduleTicker::ShowClock(int64_t now) {
  const LocalTime t = ctx.clock.ToLocal(now);
  char text[16];
  std::snprintf(text, sizeof text, "%02i:%02i:%02i", t.hour, t.minute, t.second);
  view.SetStatusLine("");
  view.SetClockText(text);
}

}  // namespace kelmo
