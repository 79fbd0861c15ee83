#pragma once

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/KelmoContext.h"
#include "app/ProfileFile.h"
#include "app/ScheduleSettings.h"
#include "audio/WaveCapture.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "audio/sim/SimWaveInput.h"
#include "audio/sim/SimWaveOutput.h"
#include "capture/AviRecording.h"
#include "capture/CaptureEngine.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/sim/RecordingPower.h"
#include "schedule/RecordingControls.h"
#include "schedule/RecordingPrograms.h"
#include "schedule/ScheduleTicker.h"
#include "support/Fakes.h"
#include "support/LockedView.h"
#include "tuner/ChannelSelector.h"

namespace kelmo::test {

// One scheduled recording: TV (an AVI) or FM (a WAV), from `start` for `seconds`.
struct DayProgram {
  bool tv = false;
  int64_t start = 0;
  int32_t seconds = 0;
  int64_t End() const { return start + seconds; }
};

// Ten programs in slots of `slot` seconds from `first`, TV and FM in turn, each 7/8 of its slot
// long: the fifth (TV) starts while the fourth (FM) still records, and the ninth (TV) lies inside
// the eighth, so its end has passed when it is armed.
inline std::vector<DayProgram> TenPrograms(int64_t first, int32_t slot) {
  const int32_t length = slot * 7 / 8;
  std::vector<DayProgram> day;
  for (int i = 0; i < 10; ++i) day.push_back({i % 2 == 0, first + int64_t{i} * slot, length});
  day[4].start = day[3].start + length * 5 / 8;
  day[8].start = day[7].start + length / 4;
  day[8].seconds = length / 4;
  return day;
}

// The span each program of a day records when the schedule runs as it should: a program starts
// at its start, or when the one before has been stopped and removed (two ticks after its end);
// one whose end has passed by then is stopped at the next tick.
inline std::vector<int64_t> ExpectedSpans(const std::vector<DayProgram>& day) {
  std::vector<int64_t> spans;
  int64_t free = 0;
  for (const DayProgram& p : day) {
    const int64_t begin = std::max(p.start, free);
    const int64_t stop = std::max(p.End(), begin + 1);
    spans.push_back(stop - begin);
    free = stop + 2;
  }
  return spans;
}

// The wave input, counting its starts: a test waits for a capture thread to have started it.
class CountedWaveInput final : public WaveInput {
 public:
  explicit CountedWaveInput(WaveInput& input) : input(input) {}
  std::string Name() const override { return input.Name(); }
  bool SupportsFormat(std::span<const uint8_t> f) override { return input.SupportsFormat(f); }
  DeviceError Open(std::span<const uint8_t> f, WaveInputCallback& cb) override {
    return input.Open(f, cb);
  }
  DeviceError AddBuffer(WaveBuffer& buffer) override { return input.AddBuffer(buffer); }
  DeviceError Start() override {
    DeviceError rc = input.Start();
    ++starts;
    return rc;
  }
  void Reset() override { input.Reset(); }
  void Close() override { input.Close(); }

  std::atomic<int> starts{0};

 private:
  WaveInput& input;
};

// The recording side of the program as the main window composes it, on any clock: the simulated
// card, its sound (the simulated wave input) and picture (the test pattern through the capture
// window), the wave capture engine and the AVI recording behind the recording controls, and the
// schedule's tick. Programs and config.dat live in `dataDir`, recordings go to `saveDir`.
class RecordingStation {
 public:
  RecordingStation(Clock& clock, const std::filesystem::path& dataDir, const std::string& saveDir)
      : clock(clock), ctx(clock, messages, power, shell, dataDir) {
    ctx.card.SetCandidates({KELMO_BUILD_DIR "/Btvid_32.so"});
    ctx.channels.tv.entries[0] = {"Kelmo Uno", "48.25"};
    ctx.channels.tv.count = 1;
    ctx.channels.fm.entries[0] = {"Kelmo Radio", "103.45"};
    ctx.channels.fm.count = 1;
    ctx.state.saveDir = saveDir;
    ctx.audioFormats.inputFormatSet = ctx.audioFormats.compressionFormatSet = 1;
    ctx.audioFormats.inputFormat = ctx.audioFormats.compressionFormat =
        DefaultPcmFormat().ToBytes();
    ctx.audioFormats.inputFormatName = ctx.audioFormats.compressionFormatName = "PCM";
    ctx.capture.SetWindow(&window);
    ctx.capture.SetCatalog(&pattern);
    ctx.capture.SetStatusCallback(
        [this](int id, const std::string& text) { return avi.CaptureStatusCallback(id, text); });
    window.SetCallbackError([this](const std::string& text) { messages.Show(text); });
    ctx.cardStartup.StartCard();
    ctx.capture.videoFormatSet = 1;
    window.SetCompression({VideoCodec::MotionJpeg, 3});
    ctx.capture.compressionSet = 1;
    avi.KeepNotes(ctx.recordingNote);
    controls.KeepNotes(ctx.recordingNote, ctx.channels);
  }

  // As the main window closes: the programs saved, the sound input stopped, the card shut down.
  ~RecordingStation() {
    SaveTable();
    wave.StopInput();
    ctx.cardStartup.StopCard();
    ctx.capture.SetWindow(nullptr);
  }

  // The Recording Programs dialog's OK over these programs, each tuned to its band's station, TV
  // at `frameRate` pictures a second.
  void Schedule(const std::vector<DayProgram>& day, bool shutdown, int32_t frameRate = 2) {
    RecordingProgramTable& table = ctx.programs;
    table.BeginEditing();
    for (const DayProgram& p : day) {
      RecordingProgram& slot = table.programs[static_cast<std::size_t>(table.programCount.load())];
      slot.frameRate = frameRate;
      slot.recordFromChannel = 1;
      slot.isTv = p.tv ? 1 : 0;
      slot.channelIndex = 0;
      slot.startTime = p.start;
      slot.durationSeconds = p.seconds;
      slot.endTime = p.End();
      ++table.programCount;
    }
    ValidateAndArm(table, ctx.state, clock.Now(), messages);
    SaveTable();
    ctx.protocol.ProgramsConfirmed();
    ctx.state.shutdownWhenFinished = shutdown ? 1 : 0;
  }

  // The programs into config.dat; a failure shows in the next run's programs, and is said here.
  void SaveTable() {
    ProfileFile file(ctx.SettingsPath());
    if (const FileResult saved = SavePrograms(file, ctx.programs); !saved)
      std::fprintf(stderr, "programs not saved: %s\n", saved.reason.c_str());
  }

  // Start-up: the programs saved by the run before.
  void RestorePrograms() {
    LoadPrograms(ProfileFile(ctx.SettingsPath()), ctx.programs, clock.Now(), messages);
  }

  // The main window's timer: the tick, then the table saved when it changed (not once the
  // shutdown has been asked for).
  void Tick() {
    ticker.ScheduleTick();
    if (view.shutdowns != 0) return;
    ProfileFile file(ctx.SettingsPath());
    SaveProgramsIfChanged(file, ctx.protocol, ctx.programs, messages);
  }

  // The first program's recording has reached its end, and no recording callback has said so yet.
  bool EndUnseen() const {
    const RecordingProgram& first = ctx.programs.programs[0];
    return ctx.programs.programCount > 0 && ctx.state.programStarted != 0 && first.armed != 0 &&
           first.endTime <= clock.Now() && controls.Recording();
  }

  Clock& clock;
  RecordingMessages messages;
  LockedView view;
  RecordingPower power;
  RecordingShell shell;
  KelmoContext ctx;
  TestPatternCatalog pattern{
      clock, [this](KelmoSimCardState& s) { return ctx.card.QuerySimulatedCard(s); }};
  SimWaveInput simInput{clock,
                        [this](KelmoSimCardState& s) { return ctx.card.QuerySimulatedCard(s); }};
  CountedWaveInput input{simInput};
  SimWaveOutput output;
  FfmpegAviWriterFactory aviWriters;
  CaptureEngine window{{pattern, aviWriters, clock, &input, nullptr, nullptr}};
  FfmpegCodecManager codecs;
  FfmpegWmaWriterFactory wmaWriters;
  ChannelSelector selector{ctx.tuner, ctx.channels, ctx.channelMemory, ctx.state, view};
  AviRecording avi{ctx.capture, ctx.state, ctx.protocol, messages, view, clock};
  WaveCapture wave{ctx.state,
                   ctx.audioFormats,
                   {ctx.capture.aviAudioFormat.format, ctx.capture.captureFileName},
                   ctx.protocol,
                   WaveCapture::Ports{input, output, codecs, wmaWriters, messages, view, clock,
                                      &ctx.recordingNote}};
  RecordingControls controls{ctx.state, ctx.protocol, ctx.audioFormats, ctx.capture, clock,
                             messages,  view,         {&wave, &avi}};
  ScheduleTicker ticker{ctx.state,   ctx.programs, ctx.protocol, ctx.channels, selector,  controls,
                        ctx.capture, clock,        view,         ctx.messages, *ctx.dates};
};

}  // namespace kelmo::test
