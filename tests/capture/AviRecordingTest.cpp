#include <gtest/gtest.h>

#include "base/RecordingProtocol.h"
#include "capture/AviRecording.h"
#include "capture/CaptureRig.h"
#include "support/Fakes.h"

namespace kelmo::test {
namespace {

// The AVI recording over the test-pattern capture window, with the main window and the message
// boxes recorded.
struct AviRecordingTest : ::testing::Test {
  TempDir dir;
  CaptureRig rig;
  AppState state;
  RecordingProgramTable programs;
  RecordingProtocol protocol{state, programs};
  RecordingMessages messages;
  RecordingView view;
  CaptureDriver capture;
  AviRecording avi{capture, state, protocol, messages, view, rig.clock};

  AviRecordingTest() {
    capture.SetWindow(&rig.window);
    capture.SetStatusCallback(
        [this](int id, const std::string& text) { return avi.CaptureStatusCallback(id, text); });
    capture.ConnectCaptureDriver(state);
    capture.captureFileName = (dir / "Kelmo.avi").string();
    rig.window.FileSetCaptureFile(capture.captureFileName);
  }
};

TEST_F(AviRecordingTest, MissingSettingsAreToldInOrderAndTheCompressionDialogOpensByItself) {
  capture.aviAudioFormatSet = 0;
  EXPECT_FALSE(avi.StartAviCapture());
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{"You didn't set the Sound Format (Options/Capture Options)",
                                      "You didn't set the Video Format (Options/Capture Options)",
                                      "You didn't set the Compression (Options/Capture Options)"}));
  EXPECT_EQ(rig.dialogs.shown, 0);

  // Only the compression missing: its dialog opens; a dialog that cannot be shown fails it.
  messages.Clear();
  capture.aviAudioFormatSet = capture.videoFormatSet = 1;
  rig.window.AttachToParent(nullptr, nullptr);
  EXPECT_FALSE(avi.StartAviCapture());
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{"ERROR en Dialogo VideoCompression",
                                      "You didn't set the Compression (Options/Capture Options)"}));

  // Cancel in the dialog chooses nothing: nothing records.
  const std::vector<std::string> unset{"You didn't set the Compression (Options/Capture Options)"};
  messages.Clear();
  rig.window.AttachToParent(nullptr, &rig.dialogs);
  EXPECT_FALSE(avi.StartAviCapture());
  EXPECT_EQ(rig.dialogs.shown, 1);
  EXPECT_EQ(messages.Texts(), unset);

  // The schedule's start opens no dialog: without a stored compressor it records nothing.
  messages.Clear();
  EXPECT_FALSE(avi.StartAviCapture(StartedBy::Schedule));
  EXPECT_EQ(rig.dialogs.shown, 1);
  EXPECT_EQ(messages.Texts(), unset);

  messages.Clear();
  rig.dialogs.compression = VideoCompressionChoice{VideoCodec::HuffYuv, 0};
  ASSERT_TRUE(avi.StartAviCapture());
  EXPECT_EQ(rig.dialogs.shown, 2);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_FALSE(view.recEnabled);
  EXPECT_TRUE(view.stopEnabled);
  EXPECT_TRUE(avi.IsRecording());
  avi.StopAviCapture();
  EXPECT_FALSE(avi.IsRecording());
  EXPECT_TRUE(view.recEnabled);
  EXPECT_EQ(Probe(capture.captureFileName).at(0).at("codec_name"), "huffyuv");

  // With one stored in the settings the schedule's start takes it, still without a dialog.
  capture.compressionSet = 0;
  capture.compressionStored = 1;
  ASSERT_TRUE(avi.StartAviCapture(StartedBy::Schedule));
  EXPECT_EQ(rig.dialogs.shown, 2);
  avi.StopAviCapture();
}

TEST_F(AviRecordingTest, TheIndicatorStepsWithTheStatusMessagesAcrossRecordings) {
  std::vector<std::string> shown;
  for (int i = 1; i <= 90; ++i) {
    avi.CaptureStatusCallback(kCapStatusCurrent, "x");
    shown.push_back(view.clockText);
  }
  for (int i = 1; i <= 90; ++i) {
    const int n = (i - 1) % 45 + 1;  // the n-th message of its cycle
    const std::string want = n >= 11 && n <= 21 ? "RECORDING" : n >= 33 && n <= 44 ? "AVI" : " ";
    EXPECT_EQ(shown[static_cast<std::size_t>(i - 1)], want) << "message " << i;
  }
  // The closing statistics stay on the status line when the end follows them.
  avi.CaptureStatusCallback(kCapStatusStatsAudio, "Captured 1.000 sec.");
  avi.CaptureStatusCallback(kCapStatusEnd, "Capture End");
  EXPECT_EQ(view.statusLine, "Captured 1.000 sec.");
}

TEST_F(AviRecordingTest, AUsersStopDropsTheScheduleAProgramsEndDoesNot) {
  capture.videoFormatSet = 1;
  rig.dialogs.compression = VideoCompressionChoice{VideoCodec::MotionJpeg, 5};
  programs.programCount = 2;
  programs.programs[0].armed = 1;
  programs.programs[0].endTime = rig.clock.Now() + 3600;
  state.shutdownWhenFinished = 1;
  ASSERT_TRUE(avi.StartAviCapture());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  protocol.BeginUserEnd();  // as the STOP button does
  avi.StopAviCapture();
  protocol.EndUserEnd();
  EXPECT_EQ(programs.programCount.load(), 0);
  EXPECT_EQ(programs.programs[0].armed.load(), 0u);
  EXPECT_EQ(state.shutdownWhenFinished, 0);
  EXPECT_EQ(state.recordingStopped.load(), 1);
  EXPECT_EQ(state.recordingFinished.load(), 1);

  // A recording whose program has ended asks the schedule to stop it, and its end drops nothing.
  state.recordingFinished = state.recordingStopped = 0;
  programs.programCount = 1;
  programs.programs[0].armed = 1;
  programs.programs[0].endTime = rig.clock.Now() - 1;
  ASSERT_TRUE(avi.StartAviCapture());
  for (int i = 0; i < 100 && state.recordingFinished == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(state.recordingFinished.load(), 1);
  avi.StopAviCapture();
  EXPECT_EQ(programs.programCount.load(), 1);
  EXPECT_EQ(state.recordingStopped.load(), 1);
}

}  // namespace
}  // namespace kelmo::test
