#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "app/qt/MainWindowFixture.h"
#include "capture/CaptureRig.h"

namespace kelmo::test {
namespace {

using RecordingWindow = MainWindowFixture;

void Click(QWidget& dialog, const char* name) { dialog.findChild<QPushButton*>(name)->click(); }

// Picks `line` under the tag `tag` in the format chooser and presses OK.
void Choose(QWidget& chooser, const QString& tag, const QString& line) {
  auto* tags = chooser.findChild<QComboBox*>("m_formatTag");
  auto* lines = chooser.findChild<QComboBox*>("m_format");
  ASSERT_GE(tags->findText(tag), 0) << tag.toStdString();
  tags->setCurrentIndex(tags->findText(tag));
  ASSERT_GE(lines->findText(line), 0) << line.toStdString();
  lines->setCurrentIndex(lines->findText(line));
  Click(chooser, "okButton");
}

// WAV Capture Options choose the input, then what it converts to (at the input's rate and
// channels); the window keeps them in config.dat. At the next start REC in FM mode records the
// simulated card into a WAV file in the formats read back; STOP ends it at the next tick and
// leaves a file players read, as long as the time that passed, and its saved line stays on the
// status line against the clock's ticks until the next action, a channel change. The level meter
// that was on listens again after STOP.
TEST_F(RecordingWindow, WavOptionsKeptInConfigThenRecAndStopInFmModeRecordAWavFile) {
  UseSimulatedSound(clock);
  WriteChannelFile({}, {{"Radio Faro", "87.60"}});
  WriteSettings("[General]\nTV=0\nSaveDir=" + dataDir.path().toStdString() + "/\n");
  Open();
  OnNextModal([](QWidget& options) {
    EXPECT_EQ(options.windowTitle(), "Options for Radio / Line in");
    OnNextModal(
        [](QWidget& chooser) { Choose(chooser, "PCM", "8,000 Hz, 16 Bit, Mono, 128 kbit/s"); });
    Click(options, "m_inputFormat");
    OnNextModal([](QWidget& chooser) { Choose(chooser, "GSM 6.10", "8,000 Hz, Mono, 13 kbit/s"); });
    Click(options, "m_compression");
    Click(options, "okButton");
  });
  Find<QAction>("32822")->trigger();
  EXPECT_EQ(ctx->audioFormats.compressionFormatName, "GSM 6.10");
  CloseWindow();
  ctx = MakeContext();
  UseSimulatedSound(clock);
  Open();

  Find<QPushButton>("1010")->click();  // the meter on: it stays on across the recording
  Find<QPushButton>("1008")->click();
  ASSERT_TRUE(ctx->recorders.sound->IsRecording()) << ::testing::PrintToString(messages.Texts());
  clock.Advance(2);
  Find<QPushButton>("1009")->click();
  dlg->OnTimer();  // the tick stops it
  EXPECT_FALSE(ctx->recorders.sound->IsRecording());
  EXPECT_TRUE(ctx->recorders.sound->InputRunning());
  EXPECT_EQ(ctx->state.levelMeterOn, 1);
  EXPECT_TRUE(messages.Texts().empty()) << ::testing::PrintToString(messages.Texts());

  std::string wav = ctx->capture.captureFileName;
  wav.replace(wav.size() - 3, 3, "wav");
  const auto streams = Probe(wav);
  ASSERT_EQ(streams.size(), 1u) << wav;
  EXPECT_EQ(streams[0].at("codec_name"), "gsm_ms");
  EXPECT_EQ(streams[0].at("sample_rate"), "8000");
  EXPECT_EQ(streams[0].at("channels"), "1");
  EXPECT_NEAR(std::stod(streams[0].at("duration")), 2.0, 0.05);

  auto* status = Find<QLabel>("1000");
  const QString saved = QString::fromStdString(
      "Saved " + std::filesystem::path(wav).filename().string() + " \u2014 0:02, ");
  for (int tick = 0; tick < 3; ++tick) {
    clock.Advance(1);
    dlg->OnTimer();
    QApplication::processEvents();
    EXPECT_TRUE(status->text().startsWith(saved) && status->text().endsWith(" kB"))
        << status->text().toStdString();
  }
  dlg->runChannelMenu = [](const std::vector<std::string>&, const QPoint&) { return 0; };
  dlg->OnFm();
  dlg->OnTimer();
  QApplication::processEvents();
  EXPECT_EQ(status->text(), "");
}

}  // namespace
}  // namespace kelmo::test
