#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio/WaveCapture.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "audio/sim/SimWaveInput.h"
#include "audio/sim/SimWaveOutput.h"
#include "platform/sim/ManualClock.h"
#include "support/Fakes.h"
#include "support/LockedView.h"
#include "support/MediaProbe.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

TEST(WaveCaptureLevel, SilenceFullScaleAndLowEightBitBuffers) {
  std::vector<uint8_t> buffer(4000, 0);
  EXPECT_EQ(LevelMeter::LevelOf(buffer, 16), 0);
  buffer[398] = 0xFF, buffer[399] = 0x7F;  // sample 199: 32767
  EXPECT_EQ(LevelMeter::LevelOf(buffer, 16), 98);
  buffer[398] = 0, buffer[399] = 0;
  buffer[400] = 0xFF, buffer[401] = 0x7F;  // sample 200 is not looked at
  EXPECT_EQ(LevelMeter::LevelOf(buffer, 16), 0);
  buffer.assign(4000, 100);  // 8 bits, all below the middle
  EXPECT_EQ(LevelMeter::LevelOf(buffer, 8), -21);
  buffer[0] = 255;
  EXPECT_EQ(LevelMeter::LevelOf(buffer, 8), 98);
}

// The engine over the simulated sound card, recording next to a temporary folder.
struct WaveCaptureRig {
  explicit WaveCaptureRig(SimAudioSwitches switches = {}) : input{clock, nullptr, switches} {
    formats.inputFormatSet = formats.compressionFormatSet = 1;
    formats.inputFormat = formats.compressionFormat = DefaultPcmFormat().ToBytes();
    formats.inputFormatName = formats.compressionFormatName = "PCM";
    captureFileName = (dir / "Kelmo.06_22.05.avi").string();
  }

  test::TempDir dir;
  ManualClock clock{1000};
  test::RecordingMessages messages;
  test::LockedView view;
  AppState state;
  AudioFormatSettings formats;
  WaveFormatEx monitorFormat = DefaultPcmFormat();
  std::string captureFileName;
  RecordingProgramTable programs;
  RecordingProtocol protocol{state, programs};
  SimWaveInput input;
  SimWaveOutput output;
  FfmpegCodecManager codecs;
  FfmpegWmaWriterFactory wma;
  WaveCapture engine{state,
                     formats,
                     {monitorFormat, captureFileName},
                     protocol,
                     WaveCapture::Ports{input, output, codecs, wma, messages, view, clock}};
};

class WaveCaptureTest : public ::testing::Test, public WaveCaptureRig {};

TEST_F(WaveCaptureTest, ARecordingHoldsExactlyTheFullBuffersOfItsTimeInItsOwnFormats) {
  test::RecordingLog log;
  ASSERT_TRUE(engine.StartRecording());
  EXPECT_TRUE(engine.InputRunning());
  // Options changed during the recording are for the next one.
  formats.compressionFormat = MakePcmFormat(44100, 2, 16).ToBytes();
  clock.Advance(5);
  engine.StopRecording();
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_FALSE(engine.InputRunning());
  // 5 s = 220500 bytes: 55 full buffers, in 22050 Hz mono.
  const std::string wav = (dir / "Kelmo.06_22.05.wav").string();
  EXPECT_EQ(test::ReadFile(wav).size(), 58u + 55 * 4000);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(view.Get().levelText, "");
  EXPECT_TRUE(log.Has(LogLevel::Info, "audio", "recording started: " + wav));
  EXPECT_TRUE(
      log.Has(LogLevel::Info, "audio", "recording ended: " + wav + ", 5.0 s, 220058 bytes"));
}

TEST_F(WaveCaptureTest, MonitoringDrivesTheMeterWritesNoFileAndWatchesTheFirstProgramsEnd) {
  state.levelMeterOn = 1;
  programs.programCount = 1;
  programs.programs[0].endTime = clock.Now() + 2;
  programs.programs[0].armed = 1;
  engine.StartMonitoring();
  EXPECT_TRUE(engine.InputRunning());
  EXPECT_FALSE(engine.IsRecording());
  clock.Advance(1);
  engine.StopInput();
  EXPECT_EQ(view.Get().levels.size(), 11u + 1);  // eleven buffers, then emptied at the stop
  EXPECT_EQ(view.Get().levelMeter, 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_EQ(state.recordingFinished, 0);

  engine.StartMonitoring();
  clock.Advance(2);
  engine.StopInput();
  EXPECT_EQ(state.recordingFinished, 1);
  EXPECT_EQ(programs.programs[0].armed, 0u);
}

TEST_F(WaveCaptureTest, AFullDiskEndsTheRecordingWithItsFileWholeAndAFailedStartLeavesNoFile) {
  // The disk takes the header and four buffers of the first file, the second file nothing.
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "20000", 1);
  ASSERT_TRUE(engine.StartRecording());
  view.SetRecEnabled(false);  // as the controls show a recording
  view.SetStopEnabled(true);
  // The buffers reach the file on the reader thread: the end comes from there.
  const auto ended = [&] {
    for (int i = 0; i < 500 && !view.Get().recEnabled; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return view.Get().recEnabled;
  };
  clock.Advance(3);
  ASSERT_TRUE(ended());
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_TRUE(view.Get().recEnabled);
  EXPECT_FALSE(view.Get().stopEnabled);
  ASSERT_EQ(messages.Texts().size(), 1u);
  const std::string path = (dir / "Kelmo.06_22.05.wav").string();
  EXPECT_EQ(messages.Texts()[0],
            "ERROR escribiendo el fichero WAV\nThe disk is full: the recording "
            "has stopped.\n" +
                path + " keeps 0:00:00 (16 KB); " + dir.Path().string() + " has 4 KB free.");
  const std::string bytes = test::ReadFile(path);
  ASSERT_EQ(bytes.size(), 58u + 4 * 4000);
  EXPECT_EQ(test::Le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(test::Le32(bytes, 46), 8000u);  // "fact"
  EXPECT_EQ(test::Le32(bytes, 54), 16000u);

  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "30", 1);
  captureFileName = (dir / "Kelmo.06_22.06.avi").string();
  messages.Clear();
  engine.StartRecording();
  view.SetRecEnabled(false);
  clock.Advance(1);
  EXPECT_TRUE(ended());
  ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"ERROR abriendo fichero WAV en disco"});
  EXPECT_FALSE(std::filesystem::exists(dir / "Kelmo.06_22.06.wav"));
  engine.StopRecording();
  EXPECT_FALSE(engine.InputRunning());
}

// Each kind of device failure, at the open or at the start, gets its own message and log line;
// nothing stays open and a recording leaves no file without sound.
TEST(WaveCaptureFailure, EachKindIsToldInItsOwnWordsAndLogged) {
  struct Case {
    const char* fault;
    const char* message;
  };
  const Case cases[] = {
      {"busy", "I Can't capture Audio. There is other device using it."},
      {"missing",
       "I Can't capture Audio. The simulated sound input is not there: the device was removed or "
       "never existed (No such file or directory)."},
      {"format",
       "I Can't capture Audio. The simulated sound input cannot work in the format asked for "
       "(Invalid argument)."},
      {"permission",
       "I Can't capture Audio. The simulated sound input may not be opened by this user "
       "(Permission denied): the user must be in the device's group (video or audio)."},
      {"io", "I Can't capture Audio. The simulated sound input failed (Input/output error)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    setenv("KELMO_SIM_AUDIO_FAIL", c.fault, 1);
    WaveCaptureRig rig{SimAudioSwitches::FromEnvironment()};
    unsetenv("KELMO_SIM_AUDIO_FAIL");
    test::RecordingLog log;
    EXPECT_FALSE(rig.engine.StartRecording());
    ASSERT_EQ(rig.messages.Shown().size(), 1u);
    EXPECT_EQ(rig.messages.Shown()[0].text, c.message);
    EXPECT_EQ(rig.messages.Shown()[0].caption, "Error");
    EXPECT_TRUE(log.Has(LogLevel::Error, "audio", "The simulated sound input"));
    EXPECT_FALSE(rig.engine.InputRunning());
    EXPECT_FALSE(rig.engine.IsRecording());
    EXPECT_TRUE(std::filesystem::is_empty(rig.dir.Path()));
    // The output it had opened was let go: it opens again.
    EXPECT_TRUE(rig.output.Open(DefaultPcmFormat().ToBytes()).ok());
  }
}

}  // namespace
}  // namespace kelmo
