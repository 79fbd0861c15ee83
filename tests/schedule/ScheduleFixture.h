#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include "audio/AudioFormatSettings.h"
#include "base/ChannelTables.h"
#include "base/RecordingProtocol.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "schedule/RecordingControls.h"
#include "schedule/RecordingPrograms.h"
#include "schedule/ScheduleTicker.h"
#include "schedule/SleepGuard.h"
#include "support/Fakes.h"
#include "support/TimeZone.h"
#include "tuner/CardDriverLibrary.h"
#include "tuner/ChannelSelector.h"
#include "tuner/Tuner.h"

namespace kelmo::test {

// 2026-03-02 00:00 UTC, a Monday.
inline constexpr int64_t kDay = 1772409600;
inline constexpr int64_t At(int hour, int minute, int second = 0) {
  return kDay + hour * 3600 + minute * 60 + second;
}

// The schedule's pieces over fake recorders, in UTC: the tick, the recording controls, the
// protocol, and the callbacks of the recordings that run.
struct ScheduleFixture : ::testing::Test {
  ScopedTimeZone utc{"UTC0"};
  ManualClock clock{At(9, 59, 30)};
  RecordingMessages messages;
  RecordingView view;
  AppState state;
  RecordingProgramTable table;
  RecordingProtocol protocol{state, table};
  ChannelTables channels;
  AudioFormatSettings formats;
  CaptureDriver capture;
  CardDriverLibrary card{clock, messages};
  Tuner tuner{card, state};
  ChannelMemory memory;
  ChannelSelector selector{tuner, channels, memory, state, view};
  FakeRecorder sound;
  FakeRecorder video{&protocol};
  RecordingControls controls{state, protocol, formats, capture,
                             clock, messages, view,    Recorders{&sound, &video}};
  CLibraryDateFormat dates;
  ScheduleTicker ticker{state,   table, protocol, channels, selector, controls,
                        capture, clock, view,     messages, dates};
  RecordingPower power;
  SleepGuard sleepGuard{state, table, controls, capture, formats, clock, power};

  ScheduleFixture() {
    // The simulated card, so that tuning switches the band.
    unsetenv("KELMO_I2C_LOG");
    card.SetCandidates({KELMO_BUILD_DIR "/Btvid_32.so"});
    card.LoadCardLibrary();
    clock.Set(At(9, 59, 30));
    formats.inputFormatSet = 1;
    formats.compressionFormatSet = 1;
    state.saveDir = "/rec/";
    channels.tv.entries[0] = {"One", "55.25"};
    channels.tv.entries[1] = {"Two", "62.25"};
    channels.tv.count = 2;
    channels.fm.entries[0] = {"Radio", "88.00"};
    channels.fm.count = 1;
  }

  // Adds a program to the table, as the dialog does, tuned to channel 0 of its band.
  RecordingProgram& Add(int64_t start, int32_t seconds, bool tv = true) {
    RecordingProgram& p = table.programs[static_cast<std::size_t>(table.programCount.load())];
    p.recordFromChannel = 1;
    p.isTv = tv ? 1 : 0;
    p.channelIndex = 0;
    p.frameRate = 10;
    p.startTime = start;
    p.durationSeconds = seconds;
    p.endTime = start + seconds;
    ++table.programCount;
    return p;
  }
  void Confirm() { ValidateAndArm(table, state, clock.Now(), messages); }

  // One second: the running recordings' callbacks look at the end time, then the timer ticks.
  void Second() {
    clock.Advance(1);
    if (sound.InputRunning() || video.recording) protocol.EndTimeSeen(clock.Now());
    ticker.ScheduleTick();
    sleepGuard.Update();
  }
  // Seconds until `instant` has been ticked.
  void RunUntil(int64_t instant) {
    while (clock.Now() < instant) Second();
  }
};

}  // namespace kelmo::test
