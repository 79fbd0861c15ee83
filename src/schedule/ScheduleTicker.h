#pragma once

#include <functional>

#include "base/AppState.h"
#include "base/ChannelTables.h"
#include "base/MainWindowView.h"
#include "base/RecordingProgramTable.h"
#include "base/RecordingProtocol.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/Messages.h"
#include "schedule/RecordingControls.h"
#include "tuner/ChannelSelector.h"

namespace kelmo {

// The main window's one-second work: the status fields, and the recording programs: it starts the
// first program at its start time, stops its recording once a recording callback has seen the end
// time, removes it, arms the next, and shuts the computer down after the last one when asked.
// Runs on the user-interface thread.
class ScheduleTicker {
 public:
  ScheduleTicker(AppState& state, RecordingProgramTable& table, RecordingProtocol& protocol,
                 const ChannelTables& channels, ChannelSelector& selector,
                 RecordingControls& controls, CaptureDriver& capture, const Clock& clock,
                 MainWindowView& view, Messages& messages, const DateFormat& dates)
      : state(state),
        table(table),
        protocol(protocol),
        channels(channels),
        selector(selector),
        controls(controls),
        capture(capture),
        clock(clock),
        view(view),
        messages(messages),
        dates(dates) {}

  // One tick. Its boxes (a program's start that fails) are deferred, so that none holds the timer.
  // Returns false, having done nothing at all, while an earlier tick is still running.
  bool ScheduleTick();

  // Called just before a program starts: whatever else drives the tuner (a channel search) gives
  // way to the recording.
  void SetBeforeProgramStarts(std::function<void()> hook) { beforeStart = std::move(hook); }

 private:
  void ShowClock(int64_t now);
  void ShowChannelLine();
  void StartFirstProgram();
  void EndRecording();

  AppState& state;
  RecordingProgramTable& table;
  RecordingProtocol& protocol;
  const ChannelTables& channels;
  ChannelSelector& selector;
  RecordingControls& controls;
  CaptureDriver& capture;
  const Clock& clock;
  MainWindowView& view;
  Messages& messages;
  const DateFormat& dates;
  std::function<void()> beforeStart;
};

}  // namespace kelmo
