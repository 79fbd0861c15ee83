#include "schedule/RecordingSpace.h"
#include "schedule/ScheduleFixture.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

using Tick = ScheduleFixture;

TEST_F(Tick, ShowsClockOverlayAndChannelUnlessRecordingOrBusy) {
  view.statusLine = "old status";
  state.overlayOn = 1;
  state.currentChannel = 1;
  EXPECT_TRUE(ticker.ScheduleTick());
  EXPECT_EQ(view.clockText, "09:59:30");
  EXPECT_EQ(view.statusLine, "");
  EXPECT_EQ(view.overlayText, "Overlay ON");
  EXPECT_EQ(view.channelLine, "(62.25)  Two");

  state.tvMode = 0;
  state.currentChannel = 3;  // not in the FM table: the line stays
  state.overlayOn = 0;
  for (FakeRecorder* r : {&sound, &video}) {
    r->recording = true;
    view.statusLine = "recording...";
    view.clockWrites = 0;
    ticker.ScheduleTick();
    EXPECT_EQ(view.clockWrites, 0);
    EXPECT_EQ(view.statusLine, "recording...");
    EXPECT_EQ(view.overlayText, "Overlay OFF");  // the overlay field is still the tick's
    EXPECT_EQ(view.channelLine, "(62.25)  Two");
    r->recording = false;
  }

  state.timerBusy = 1;
  view.overlayText = "";
  EXPECT_FALSE(ticker.ScheduleTick());
  EXPECT_EQ(view.clockWrites, 0);
  EXPECT_EQ(view.overlayText, "");
}

// The life of an FM program, state by state: waiting, recording, finishing, stopped, removed.
TEST_F(Tick, FmProgramLivesThroughTheFiveStates) {
  Add(At(10, 0), 60, false);
  Confirm();
  ticker.ScheduleTick();
  EXPECT_EQ(view.channelLine,
            "Recording Start: 03/02/26 at 10:00 hours - End: 1 min. after - FM 1: Radio");

  RunUntil(At(9, 59, 59));
  EXPECT_EQ(sound.starts, 0);  // waiting
  Second();                    // 10:00:00: tuned to the FM channel and started
  EXPECT_EQ(state.tvMode, 0);
  EXPECT_TRUE(sound.recording);
  EXPECT_EQ(state.programStarted, 1);
  EXPECT_FALSE(view.recEnabled);
  EXPECT_TRUE(view.stopEnabled);
  EXPECT_EQ(view.focus, "stop");

  RunUntil(At(10, 0, 59));
  EXPECT_TRUE(sound.recording);
  clock.Advance(1);  // 10:01:00: the wave callback sees the end
  EXPECT_TRUE(protocol.EndTimeSeen(clock.Now()));
  EXPECT_EQ(table.programs[0].armed, 0u);
  EXPECT_EQ(state.recordingFinished, 1);
  ticker.ScheduleTick();  // finishing -> stopped
  EXPECT_FALSE(sound.recording);
  EXPECT_EQ(state.recordingStopped, 1);
  EXPECT_TRUE(view.recEnabled);
  Second();  // removed
  EXPECT_EQ(table.programCount, 0);
  EXPECT_EQ(state.recordingFinished, 0);
  EXPECT_EQ(state.recordingStopped, 0);
  EXPECT_EQ(state.programStarted, 0);
}

// Two programs 10:00-11:00 and 10:30-11:30 on TV: the second starts when the first is removed,
// just after 11:00, and ends at its own end; the frame rate comes back after each.
TEST_F(Tick, OverlappingTvProgramsRunOneAfterTheOtherAtTheirFrameRate) {
  state.frameRate = 25;
  Add(At(10, 30), 3600, true);
  Add(At(10, 0), 3600, true);
  Confirm();
  RunUntil(At(10, 0));
  EXPECT_TRUE(video.recording);
  EXPECT_EQ(video.lastStartBy, StartedBy::Schedule);  // no dialog for nobody to answer
  EXPECT_EQ(state.frameRate, 10);
  RunUntil(At(11, 0, 2));  // the callback at 11:00, the stop, the removal and the next start
  EXPECT_EQ(video.starts, 2);
  EXPECT_EQ(video.stops, 1);
  RunUntil(At(11, 29, 59));
  EXPECT_TRUE(video.recording);
  RunUntil(At(11, 30));  // the callback sees the end, the tick stops the capture
  EXPECT_FALSE(video.recording);
  EXPECT_EQ(state.frameRate, 25);
}

// The user's STOP in either mode, and the user's abort of a capture (the right click, the abort
// key), drop the rest of the schedule and the shutdown.
TEST_F(Tick, StopOrTheUsersAbortDropsTheSchedule) {
  enum End { kFmStop, kTvStop, kTvAborted };
  for (End end : {kFmStop, kTvStop, kTvAborted}) {
    SCOPED_TRACE(end);
    const bool tv = end != kFmStop;
    Add(clock.Now() + 10, 600, tv);
    Add(clock.Now() + 1000, 600, !tv);
    Confirm();
    state.shutdownWhenFinished = 1;
    RunUntil(clock.Now() + 10);
    ASSERT_TRUE(tv ? video.recording : sound.recording);
    if (end == kTvAborted) {
      protocol.BeginUserEnd();
      video.EndByItself();
      protocol.EndUserEnd();
    } else {
      controls.OnStop();
    }
    EXPECT_EQ(table.programCount, 0);
    EXPECT_EQ(state.shutdownWhenFinished, 0);
    Second();
    Second();
    EXPECT_FALSE(sound.recording || video.recording);
    EXPECT_EQ(state.recordingFinished, 0);
    EXPECT_EQ(state.recordingStopped, 0);
    if (end != kTvAborted) {
      EXPECT_TRUE(view.recEnabled);
      EXPECT_FALSE(view.stopEnabled);
    }
    RunUntil(clock.Now() + 2000);
    EXPECT_EQ(sound.starts + video.starts, 1);
    EXPECT_EQ(view.shutdowns, 0);
    sound.starts = video.starts = 0;
  }
}

// A TV program whose capture fails by itself (its file, a full disk) is ended, and the programs
// behind it and the shutdown stay.
TEST_F(Tick, FailedCaptureEndsItsProgramOnly) {
  Add(At(10, 0), 600, true);
  Add(At(10, 20), 60, false);
  Confirm();
  state.shutdownWhenFinished = 1;
  RunUntil(At(10, 0, 30));
  ASSERT_TRUE(video.recording);
  video.EndByItself();
  RunUntil(At(10, 0, 33));
  EXPECT_EQ(table.programCount, 1);
  EXPECT_EQ(state.shutdownWhenFinished, 1);
  RunUntil(At(10, 21, 2));
  EXPECT_EQ(sound.starts, 1);
  EXPECT_EQ(table.programCount, 0);
  EXPECT_EQ(view.shutdowns, 1);
}

// A deleted program never records and never powers the machine off: deleted in the dialog, or
// eliminated at its OK.
TEST_F(Tick, DeletedOrEliminatedLastProgramNeverRuns) {
  state.shutdownWhenFinished = 1;
  for (bool eliminated : {false, true}) {
    SCOPED_TRACE(eliminated);
    Add(clock.Now() + 60, 60, false);
    Confirm();
    table.BeginEditing();
    if (eliminated) {
      table.programs[0].durationSeconds = 0;
    } else {
      table.DeleteProgram(0, false);
    }
    Confirm();
    protocol.ProgramsConfirmed();
    RunUntil(clock.Now() + 200);
    EXPECT_EQ(sound.starts, 0);
    EXPECT_EQ(view.shutdowns, 0);
  }
}

// A sound recording started by hand when a TV program falls due: its file is closed, the program's
// own recording starts, and the schedule goes on.
TEST_F(Tick, DueProgramEndsAHandStartedRecordingOfEitherKind) {
  state.tvMode = 0;
  controls.OnRec();
  ASSERT_TRUE(sound.recording);
  Add(At(10, 0), 60, true);
  Add(At(10, 5), 60, false);
  Confirm();
  RunUntil(At(10, 0));
  EXPECT_FALSE(sound.recording);
  EXPECT_TRUE(video.recording);
  EXPECT_EQ(table.programCount, 2);

  // And an AVI started by hand when an FM program falls due: no drop of the schedule.
  RunUntil(At(10, 1, 2));
  state.tvMode = 1;
  controls.OnRec();
  ASSERT_TRUE(video.recording);
  RunUntil(At(10, 5));
  EXPECT_FALSE(video.recording);
  EXPECT_TRUE(sound.recording);
  EXPECT_EQ(table.programCount, 1);
  RunUntil(At(10, 6, 2));
  EXPECT_EQ(table.programCount, 0);
}

// A program whose recording never starts is still finished at its end, and the next one runs.
TEST_F(Tick, ProgramThatRecordsNothingEndsAtItsEnd) {
  formats.inputFormatSet = 0;
  formats.compressionFormatSet = 0;
  Add(At(10, 0), 60, false);
  Add(At(10, 5), 60, true);
  Confirm();
  state.shutdownWhenFinished = 1;
  RunUntil(At(10, 0, 59));
  // REC names the missing formats, the input's first, and records nothing.
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{
                "You didn't set Input WAV Format (Options/WAV Capture Options)",
                "You didn't set Compression WAV Format (Options/WAV Capture Options)"}));
  EXPECT_EQ(sound.starts, 0);
  EXPECT_EQ(table.programCount, 2);
  RunUntil(At(10, 1, 2));
  EXPECT_EQ(table.programCount, 1);
  EXPECT_TRUE(view.recEnabled);  // the buttons came back
  video.failStart = true;
  RunUntil(At(10, 6));
  EXPECT_EQ(view.shutdowns, 0);
  Second();
  EXPECT_EQ(table.programCount, 0);
  EXPECT_EQ(view.shutdowns, 1);
  EXPECT_EQ(messages.Texts().size(), 2u);  // no retry
  // Shown from the tick, the boxes waited for nobody.
  EXPECT_EQ(messages.QueuedTexts(), messages.Texts());
}

// The dialog left open holds nothing up: programs start and go at their times under it, and its
// Cancel brings back only what has not finished.
TEST_F(Tick, ScheduleRunsUnderTheOpenDialog) {
  Add(At(10, 0), 60, false);
  Add(At(10, 1), 60, false);
  Confirm();
  table.BeginEditing();
  Add(At(10, 30), 60, true);  // added in the dialog: waits for its OK
  RunUntil(At(10, 0));
  EXPECT_TRUE(sound.recording);
  RunUntil(At(10, 1, 2));
  EXPECT_EQ(sound.starts, 2);
  EXPECT_EQ(table.programCount, 2);
  table.CancelEditing();
  ASSERT_EQ(table.programCount, 1);
  EXPECT_EQ(table.programs[0].startTime, At(10, 1));
  RunUntil(At(10, 2, 2));
  EXPECT_EQ(table.programCount, 0);
  EXPECT_EQ(sound.starts, 2);
  EXPECT_EQ(video.starts, 0);
}

// The computer is kept awake from two minutes before a program until its recording ends.
TEST_F(Tick, SleepLockCoversTheLeadAndTheRecording) {
  Add(At(10, 0), 60, true);
  Confirm();
  clock.Set(At(9, 57, 59));
  RunUntil(At(9, 58, 1));
  RunUntil(At(10, 1, 3));
  EXPECT_EQ(power.History(), (std::vector<std::string>{"Recording due at 10:00",
                                                       "Recording Kelmo.02_10.00.avi", ""}));
  // A refused lock is not asked for again every second.
  power.refuse = true;
  Add(At(10, 3), 60, false);
  Confirm();
  RunUntil(At(10, 2, 30));
  EXPECT_EQ(power.History().size(), 3u);
}

// Deleting the program that records: Cancel leaves it recording; OK ends its recording at once,
// and the program that takes its slot is neither removed with it nor started early.
TEST_F(Tick, DeletingTheRecordingProgramEndsItsRecordingAtOk) {
  Add(At(10, 0), 1800, false);
  Add(At(10, 40), 600, true);
  Confirm();
  state.shutdownWhenFinished = 1;
  RunUntil(At(10, 5));
  ASSERT_TRUE(sound.recording);
  table.BeginEditing();
  table.DeleteProgram(0, state.programStarted != 0);
  table.CancelEditing();
  RunUntil(At(10, 6));
  EXPECT_TRUE(sound.recording);

  table.BeginEditing();
  table.DeleteProgram(0, state.programStarted != 0);
  Confirm();
  protocol.ProgramsConfirmed();
  RunUntil(At(10, 6, 3));
  EXPECT_FALSE(sound.recording);
  ASSERT_EQ(table.programCount, 1);
  EXPECT_EQ(table.programs[0].startTime, At(10, 40));
  EXPECT_EQ(view.shutdowns, 0);
  RunUntil(At(10, 40));
  EXPECT_TRUE(video.recording);
  RunUntil(At(10, 50, 2));
  EXPECT_EQ(table.programCount, 0);
  EXPECT_EQ(view.shutdowns, 1);
}

// The meter switched off leaves the input running.
TEST_F(Tick, LevelOffKeepsTheInputRunning) {
  controls.OnLevel();
  controls.OnLevel();
  EXPECT_EQ(state.levelMeterOn, 0);
  EXPECT_TRUE(sound.monitoring);
}

}  // namespace
TEST_F(Tick, ARecordingThatWillNotFitIsToldWhenArmedAndAtRecAndLoggedAtAProgramsStart) {
  TempDir dir;
  RecordingLog log;
  state.saveDir = dir.Path().string() + "/";
  formats.inputFormat = formats.compressionFormat = DefaultPcmFormat().ToBytes();  // 44100 B/s
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "10000000", 1);
  Add(At(10, 0), 300, false);  // 13.2 MB
  Confirm();
  WarnIfScheduleHasNoRoom(table, state.saveDir, capture, formats, messages);
  const std::string tail = " and " + state.saveDir +
                           " has 10.0 MB free. Make room, or the recording will stop when the "
                           "disk is full.";
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{
                "There is not enough room for the recording: it needs about 13.2 MB" + tail});
  messages.Clear();
  RunUntil(At(10, 0));  // the program starts, told only in the log
  EXPECT_TRUE(sound.recording);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(log.Has(LogLevel::Warning, "schedule", "needs about 13.2 MB"));
  // REC. by hand: ten minutes of it, 26.5 MB, told before it starts.
  controls.OnRec();
  ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{
                "There is not enough room for the recording: it needs about 26.5 MB" + tail});
  EXPECT_TRUE(sound.recording);
}

}  // namespace kelmo::test
