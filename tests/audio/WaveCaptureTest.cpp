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

class WaveCaptureTest : public ::testing::Test {
 protected:
  explicit WaveCaptureTest(SimAudioSwitches switches = {}) : input{clock, nullptr, switches} {
    formats.inputFormatSet = formats.compressionFormatSet = 1;
    formats.inputFormat = formats.compressionFormat = DefaultPcmFormat().ToBytes();
    formats.inputFormatName = formats.compressionFormatName = "PCM";
    capture.captureFileName = (dir / "Kelmo.06_22.05.avi").string();
  }

  test::TempDir dir;
  ManualClock clock{1000};
  test::RecordingMessages messages;
  test::LockedView view;
  AppState state;
  AudioFormatSettings formats;
  CaptureDriver capture;
  RecordingProgramTable programs;
  RecordingProtocol protocol{state, programs};
  SimWaveInput input;
  SimWaveOutput output;
  FfmpegCodecManager codecs;
  FfmpegWmaWriterFactory wma;
  WaveCapture engine{state, formats, capture, protocol,
                     WaveCapture::Ports{input, output, codecs, wma, messages, view, clock}};
};

TEST_F(WaveCaptureTest, ARecordingHoldsExactlyTheFullBuffersOfItsTimeInItsOwnFormats) {
  ASSERT_TRUE(engine.StartRecording());
  EXPECT_TRUE(engine.InputRunning());
  // Options changed during the recording are for the next one.
  formats.compressionFormat = MakePcmFormat(44100, 2, 16).ToBytes();
  clock.Advance(5);
  engine.StopRecording();
  EXPECT_FALSE(engine.IsRecording());
  EXPECT_FALSE(engine.InputRunning());
  // 5 s = 220500 bytes: 55 full buffers, in 22050 Hz mono.
  EXPECT_EQ(test::ReadFile(dir / "Kelmo.06_22.05.wav").size(), 58u + 55 * 4000);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(view.Get().levelText, "");
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
  capture.captureFileName = (dir / "Kelmo.06_22.06.avi").string();
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

class WaveCaptureBusy : public WaveCaptureTest {
 protected:
  WaveCaptureBusy() : WaveCaptureTest({.busy = true}) {}
};

TEST_F(WaveCaptureBusy, ABusyDeviceIsToldAndNothingStaysOpen) {
  EXPECT_FALSE(engine.StartRecording());
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text, "I Can't capture Audio. There is other device using it.");
  EXPECT_EQ(messages.Shown()[0].caption, "Error");
  EXPECT_FALSE(engine.InputRunning());
  EXPECT_FALSE(engine.IsRecording());
  // The output it had opened was let go: it opens again.
  EXPECT_EQ(output.Open(DefaultPcmFormat().ToBytes()), kWaveOk);
}

}  // namespace
}  // namespace kelmo
