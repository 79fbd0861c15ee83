#pragma once

#include "app/KelmoContext.h"
#include "app/MainWindowView.h"

namespace kelmo {

// The main window's one-second work: the status fields and, as the schedule grows, the recording
// programs. Runs on the user-interface thread.
class ScheduleTicker {
 public:
  ScheduleTicker(KelmoContext& ctx, MainWindowView& view) : ctx(ctx), view(view) {}

  // One tick. Returns false, having done nothing at all, while an earlier tick is still running
  // (a message box opened by its own work keeps it inside).
  bool ScheduleTick();

 private:
  void ShowClock(int64_t now);

  KelmoContext& ctx;
  MainWindowView& view;
};

}  // namespace kelmo
