#pragma once

#include "base/AppState.h"
#include "base/MainWindowView.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"

namespace kelmo {

// The main window's one-second work: the status fields and, as the schedule grows, the recording
// programs. Runs on the user-interface thread.
class ScheduleTicker {
 public:
  ScheduleTicker(AppState& state, Clock& clock, CaptureDriver& capture, MainWindowView& view)
      : state(state), clock(clock), capture(capture), view(view) {}

  // One tick. Returns false, having done nothing at all, while an earlier tick is still running
  // (a message box opened by its own work keeps it inside).
  bool ScheduleTick();

 private:
  void ShowClock(int64_t now);

  AppState& state;
  Clock& clock;
  CaptureDriver& capture;
  MainWindowView& view;
};

}  // namespace kelmo
