#include <gtest/gtest.h>

#include "audio/WaveCapture.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "audio/sim/SimWaveInput.h"
#include "audio/sim/SimWaveOutput.h"
#include "platform/sim/ManualClock.h"
#include "support/Fakes.h"
#include "support/LockedView.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

TEST(WaveCaptureLevel, SilenceFullScaleAndLowEightBitBuffers) {
  std::vector<uint8_t> buffer(4000, 0);
  EXPECT_EQ(WaveCapture::LevelOf(buffer, 16), 0);
  buffer[398] = 0xFF, buffer[399] = 0x7F;  // sample 199: 32767
  EXPECT_EQ(WaveCapture::LevelOf(buffer, 16), 98);
  buffer[398] = 0, buffer[399] = 0;
  buffer[400] = 0xFF, buffer[401] = 0x7F;  // sample 200 is not looked at
  EXPECT_EQ(WaveCapture::LevelOf(buffer, 16), 0);
  buffer.assign(4000, 100);  // 8 bits, all below the middle
  EXPECT_EQ(WaveCapture::LevelOf(buffer, 8), -21);
  buffer[0] = 255;
  EXPECT_EQ(WaveCapture::LevelOf(buffer, 8), 98);
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
