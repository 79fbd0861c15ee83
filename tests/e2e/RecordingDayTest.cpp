#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "e2e/RecordingStation.h"
#include "platform/sim/ManualClock.h"
#include "support/MediaProbe.h"
#include "support/TempDir.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

constexpr int64_t kFirst = 1796637600;  // 2026-12-07 10:00:00 UTC

// A day of unattended recording in virtual time: the manual clock drives the card, the sound and
// the picture, and each second the recording threads are given the time to take what it brought
// before the timer ticks.
class RecordingDay : public ::testing::Test {
 protected:
  std::unique_ptr<RecordingStation> Start() {
    auto made =
        std::make_unique<RecordingStation>(clock, data.Path(), recordings.Path().string() + "/");
    EXPECT_EQ(made->ctx.capture.driverConnected, 1);
    return made;
  }

  static void WaitFor(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  void Second() {
    clock.Advance(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // The recording's own callback must see its end: the test waits for it rather than standing
    // in for it.
    WaitFor([this] { return !station->EndUnseen(); });
    // The capture thread has written the sound of the time gone by.
    if (station->controls.VideoRecording()) {
      const int64_t due = (clock.MonotonicMilliseconds() - captureStartMs - 100) * 22050 / 1000;
      WaitFor([&] { return station->window.GetStatus().dwCurrentWaveSamples >= due; });
    }
    const bool video = station->controls.VideoRecording();
    const int starts = station->input.starts;
    station->Tick();
    // A capture thread opens the sound by itself: its start is part of the tick's second.
    if (!video && station->controls.VideoRecording()) {
      WaitFor([&] { return station->input.starts > starts; });
      captureStartMs = clock.MonotonicMilliseconds();
    }
  }
  void RunUntil(int64_t instant) {
    while (clock.Now() < instant) Second();
  }

  // The recordings are the programs' in order, WAV for FM and AVI for TV, each read by ffprobe
  // and holding the sound of its span.
  void ExpectRecordings(const std::vector<std::pair<bool, int64_t>>& expected) const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(recordings.Path()))
      if (entry.path().extension() != ".txt") files.push_back(entry.path());
    // "Kelmo.DD_HH.MM.SS", the seconds left out at a whole minute: by start.
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.stem() < b.stem(); });
    ASSERT_EQ(files.size(), expected.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      SCOPED_TRACE(files[i].filename().string());
      EXPECT_EQ(files[i].extension(), expected[i].first ? ".avi" : ".wav");
      EXPECT_FALSE(ProbeAudio(files[i]).codec.empty());
      EXPECT_NEAR(static_cast<double>(DecodeMono(files[i], 22050).size()) / 22050,
                  static_cast<double>(expected[i].second), 2.0);
    }
  }

  ScopedTimeZone utc{"UTC0"};
  int64_t captureStartMs = 0;
  ManualClock clock{kFirst - 10};
  TempDir data;
  TempDir recordings;
  std::vector<DayProgram> day = TenPrograms(kFirst, 32);
  std::unique_ptr<RecordingStation> station = Start();
};

// Ten programs, the machine restarted in the middle of a TV program: each records its span, the
// cut one going on in a file of its own from the first tick after the restart, and the shutdown
// follows the last.
TEST_F(RecordingDay, TenProgramsRecordTheirSpansAcrossARestartAndTheShutdownFollowsTheLast) {
  station->Schedule(day, true);
  RunUntil(day[6].start + 20);
  EXPECT_TRUE(station->messages.Texts().empty());
  station.reset();
  station = Start();
  station->RestorePrograms();
  station->ctx.state.shutdownWhenFinished = 1;  // not kept across a restart: asked for again
  const int64_t lastEnd = day.back().End();
  RunUntil(lastEnd);
  EXPECT_EQ(station->view.shutdowns, 0);
  RunUntil(lastEnd + 5);
  EXPECT_EQ(station->view.shutdowns, 1);
  EXPECT_EQ(station->ctx.programs.programCount, 0);
  EXPECT_TRUE(station->messages.Texts().empty());
  const std::vector<int64_t> spans = ExpectedSpans(day);
  std::vector<std::pair<bool, int64_t>> expected;
  for (std::size_t i = 0; i < day.size(); ++i) expected.emplace_back(day[i].tv, spans[i]);
  expected[6].second = 20;
  expected.insert(expected.begin() + 7, {day[6].tv, day[6].End() - (day[6].start + 21)});
  ExpectRecordings(expected);
}

// The note beside `recording`: the lines given are there, as they stand.
void ExpectNote(const std::filesystem::path& recording, const std::vector<std::string>& lines) {
  SCOPED_TRACE(recording.filename().string());
  const std::string note = ReadFile(recording.string() + ".txt");
  for (const std::string& line : lines) EXPECT_NE(note.find(line), std::string::npos) << note;
}

// A user's STOP in the middle of an FM program ends its file, cancels the rest of the day and the
// shutdown. Each recording has its note: the AVI ended by the schedule, the WAV by STOP.
TEST_F(RecordingDay, AUsersStopCancelsTheRestOfTheDayAndTheShutdown) {
  station->Schedule(day, true);
  RunUntil(day[1].start + 20);
  station->controls.OnStop();
  RunUntil(day.back().End() + 5);
  EXPECT_EQ(station->view.shutdowns, 0);
  EXPECT_EQ(station->ctx.programs.programCount, 0);
  ExpectRecordings({{day[0].tv, ExpectedSpans(day)[0]}, {day[1].tv, 20}});

  const auto avi = recordings / "Kelmo.07_10.00.avi";
  const auto wav = recordings / "Kelmo.07_10.00.32.wav";
  ExpectNote(avi,
             {"start: 2026-12-07T10:00:00+00:00", "end: 2026-12-07T10:00:2", "channel: 1 Kelmo Uno",
              "frequency: 48.25 MHz", "input: TV tuner", "codec: Motion JPEG", "quality: 3",
              "frames dropped: 0", "sound format: PCM, 22050 Hz, 16 bit, mono", "ended: schedule",
              "file size: " + std::to_string(std::filesystem::file_size(avi)) + " bytes"});
  ExpectNote(wav, {"channel: 1 Kelmo Radio", "frequency: 103.45 MHz", "input: FM radio",
                   "sound length: 20.", "ended: STOP",
                   "file size: " + std::to_string(std::filesystem::file_size(wav)) + " bytes"});
  EXPECT_EQ(ReadFile(wav.string() + ".txt").find("frames"), std::string::npos);
}

}  // namespace
}  // namespace kelmo::test
