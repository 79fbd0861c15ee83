#include "schedule/ScheduleTicker.h"

#include <cstdio>

#include "base/Log.h"
#include "schedule/ProgramText.h"

namespace kelmo {

bool ScheduleTicker::ScheduleTick() {
  if (state.timerBusy) return false;
  state.timerBusy = 1;
  messages.BeginDeferring();
  const int64_t now = clock.Now();

  capture.QueryCaptureStatus();
  // While something records, the status line and the clock field show the recording's progress.
  if (!capture.CapturingNow() && !controls.Recording()) ShowClock(now);
  view.SetOverlayText(state.overlayOn ? "Overlay ON" : "Overlay OFF");
  ShowChannelLine();

  // An open Recording Programs dialog holds nothing up: it refreshes its list from the table.
  if (protocol.Waiting() && table.programs[0].startTime <= now) StartFirstProgram();

  // A started program whose recording never began (a format missing, a busy device) has no
  // callback to notice its end: the tick finishes it itself, so the programs behind it and the
  // shutdown are not lost.
  protocol.EndUnrecordedProgram(now, controls.Recording());

  bool shutdown = false;
  if (protocol.StopAsked()) {
    if (!protocol.Stopped()) {
      EndRecording();
    } else {
      const bool noneLeft = protocol.RemoveStoppedProgram();
      LogInfo("schedule", "program removed, %d left", table.programCount.load());
      shutdown = noneLeft && state.shutdownWhenFinished != 0;
    }
  }

  controls.ResumeMonitoring();
  messages.EndDeferring();
  state.timerBusy = 0;
  // After the tick's work, so that what the power-off has to say is shown, not queued behind a
  // window that is closing.
  if (shutdown) {
    LogInfo("schedule", "last program done: shutdown asked");
    view.ExitAndShutdown();
  }
  return true;
}

void ScheduleTicker::ShowClock(int64_t now) {
  const LocalTime t = clock.ToLocal(now);
  char text[16];
  std::snprintf(text, sizeof text, "%02i:%02i:%02i", t.hour, t.minute, t.second);
  // Empty, unless the last recording's saved line waits for the user's next action.
  view.SetStatusLine(state.savedLine.Text());
  view.SetClockText(text);
}

void ScheduleTicker::ShowChannelLine() {
  if (table.programCount != 0 && table.programs[0].armed != 0) {
    view.SetChannelLine(DescribeProgram(table.programs[0], clock, channels, dates));
    return;
  }
  // An index outside the current mode's table (an empty table) leaves the line as it is.
  const int32_t index = state.currentChannel;
  const auto i = static_cast<std::size_t>(index);
  if (state.tvMode != 0) {
    if (channels.tv.IsValidIndex(index))
      view.SetChannelLine(ChannelLineText(channels.tv.entries[i]));
  } else if (channels.fm.IsValidIndex(index)) {
    view.SetChannelLine(ChannelLineText(channels.fm.entries[i]));
  }
}

void ScheduleTicker::StartFirstProgram() {
  if (beforeStart) beforeStart();
  const RecordingProgram& first = table.programs[0];
  state.savedFrameRate = state.frameRate;
  if (first.recordFromChannel != 0) {
    // A channel that is no longer in its table is not tuned: the program records what is tuned.
    if (first.isTv != 0 && channels.tv.IsValidIndex(first.channelIndex)) {
      state.currentChannel = first.channelIndex;
      selector.TuneTvChannel(state.currentChannel);
      state.frameRate = first.frameRate;
    } else if (first.isTv == 0 && channels.fm.IsValidIndex(first.channelIndex)) {
      state.currentChannel = first.channelIndex;
      selector.TuneFmChannel(state.currentChannel);
    }
  }
  LogInfo("schedule", "program due at %lld starts, ending at %lld",
          static_cast<long long>(first.startTime), static_cast<long long>(first.endTime.load()));
  protocol.ProgramStarting();
  controls.OnRec(first.endTime - clock.Now());
}

void ScheduleTicker::EndRecording() {
  // A sound recording (or none) is over when OnStop returns; a video capture reports its own end,
  // and the frame rate it ran at gives way to the user's again.
  const bool video = controls.VideoRecording();
  LogInfo("schedule", "stopping the %s recording", video ? "video" : "sound");
  controls.OnStop();
  if (video) {
    state.frameRate = state.savedFrameRate;
  } else {
    protocol.MarkStopped();
  }
}

}  // namespace kelmo
