#include <QPushButton>

#include "app/ProfileBlock.h"
#include "app/qt/MainWindowFixture.h"
#include "capture/CaptureRig.h"

namespace kelmo::test {
namespace {

using RecordingWindow = MainWindowFixture;

// REC in FM mode records the simulated card into a WAV file in the formats restored from
// config.dat; STOP ends it at the next tick and leaves a file players read, as long as the time
// that passed.
TEST_F(RecordingWindow, RecThenStopInFmModeRecordsAWavFile) {
  UseSimulatedSound(clock);
  WriteChannelFile({}, {{"Radio Faro", "87.60"}});
  const std::string pcm = EncodeProfileBlock(DefaultPcmFormat().ToBytes());
  WriteSettings("[General]\nTV=0\nSaveDir=" + dataDir.path().toStdString() +
                "/\n[Audio]\nInputFormat=" + pcm + "\nInputName=PCM\nOutputFormat=" + pcm +
                "\nOutputName=PCM\n");
  Open();
  auto* rec = Find<QPushButton>("1008");
  auto* stop = Find<QPushButton>("1009");
  rec->click();
  ASSERT_TRUE(ctx->recorders.sound->IsRecording()) << ::testing::PrintToString(messages.Texts());
  EXPECT_FALSE(rec->isEnabled());
  clock.Advance(2);
  stop->click();
  EXPECT_TRUE(ctx->recorders.sound->IsRecording());  // the tick stops it
  dlg->OnTimer();
  EXPECT_FALSE(ctx->recorders.sound->IsRecording());
  EXPECT_TRUE(rec->isEnabled());
  EXPECT_FALSE(stop->isEnabled());
  EXPECT_TRUE(messages.Texts().empty()) << ::testing::PrintToString(messages.Texts());

  std::string wav = ctx->capture.captureFileName;
  wav.replace(wav.size() - 3, 3, "wav");
  const auto streams = Probe(wav);
  ASSERT_EQ(streams.size(), 1u) << wav;
  EXPECT_EQ(streams[0].at("codec_name"), "pcm_s16le");
  EXPECT_EQ(streams[0].at("sample_rate"), "22050");
  EXPECT_EQ(streams[0].at("channels"), "1");
  EXPECT_NEAR(std::stod(streams[0].at("duration")), 2.0, 0.05);
}

}  // namespace
}  // namespace kelmo::test
