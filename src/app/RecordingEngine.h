#pragma once

#include <memory>

#include "app/KelmoContext.h"
#include "base/MainWindowRelay.h"
#include "capture/AviRecording.h"
#include "schedule/RecordingControls.h"
#include "schedule/ScheduleTicker.h"
#include "schedule/SleepGuard.h"
#include "tuner/ChannelSelector.h"

namespace kelmo {

// What records, whichever window is open: the AVI recording, the sound recording (when the
// context has sound devices and codecs), REC. and STOP, the schedule's tick and the sleep lock.
// Built by the composition after the context, before the main window, which attaches itself to
// View() and calls the pieces it needs. User-interface thread, but for the recorders' own threads.
class RecordingEngine {
 public:
  explicit RecordingEngine(KelmoContext& ctx);
  ~RecordingEngine();
  RecordingEngine(const RecordingEngine&) = delete;
  RecordingEngine& operator=(const RecordingEngine&) = delete;

  MainWindowRelay& View() { return view; }
  AviRecording& Avi() { return *aviRecording; }
  // Null without sound devices.
  SoundRecorder* Sound() { return soundRecorder.get(); }
  RecordingControls& Controls() { return *recordingControls; }
  ScheduleTicker& Ticker() { return *ticker; }
  SleepGuard& Sleep() { return *sleepGuard; }

 private:
  KelmoContext& ctx;
  MainWindowRelay view;
  // The schedule tunes through a selector of its own; its state lives in the context's memory.
  ChannelSelector selector;
  std::unique_ptr<AviRecording> aviRecording;
  // Before the controls that use it, so it goes after them.
  std::unique_ptr<SoundRecorder> soundRecorder;
  std::unique_ptr<RecordingControls> recordingControls;
  std::unique_ptr<ScheduleTicker> ticker;
  std::unique_ptr<SleepGuard> sleepGuard;
};

}  // namespace kelmo
