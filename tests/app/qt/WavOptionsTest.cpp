#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/qt/MainWindowFixture.h"
#include "audio/AcmFormats.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/qt/CFormatChooseDlg.h"

namespace kelmo::test {
namespace {

// Runs `act` on the modal window that opens next.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(modal);
  });
}

void Click(QWidget* dialog, const char* name) { dialog->findChild<QPushButton*>(name)->click(); }

// Picks `line` under the tag `tag` in the format chooser and presses OK.
void Choose(QWidget* chooser, const QString& tag, const QString& line) {
  auto* tags = chooser->findChild<QComboBox*>("m_formatTag");
  auto* lines = chooser->findChild<QComboBox*>("m_format");
  ASSERT_GE(tags->findText(tag), 0) << tag.toStdString();
  tags->setCurrentIndex(tags->findText(tag));
  ASSERT_GE(lines->findText(line), 0) << line.toStdString();
  lines->setCurrentIndex(lines->findText(line));
  Click(chooser, "okButton");
}

TEST_F(MainWindowFixture, WavCaptureOptionsChooseTheInputThenWhatItConvertsTo) {
  FfmpegCodecManager conversions;
  ChooserCodecManager codecs(conversions, OfferedWaveFormats(), nullptr);
  ctx->codecs = &codecs;
  Open();
  WhenModal([&](QWidget* options) {
    EXPECT_EQ(options->windowTitle(), "Options for Radio / Line in");
    WhenModal(
        [](QWidget* chooser) { Choose(chooser, "PCM", "8,000 Hz, 16 Bit, Mono, 128 kbit/s"); });
    Click(options, "m_inputFormat");
    WhenModal([](QWidget* chooser) { Choose(chooser, "GSM 6.10", "8,000 Hz, Mono, 13 kbit/s"); });
    Click(options, "m_compression");
    Click(options, "okButton");
  });
  Find<QAction>("32822")->trigger();

  const AudioFormatSettings& a = ctx->audioFormats;
  EXPECT_EQ(a.inputFormatSet, 1);
  EXPECT_EQ(WaveFormatEx::FromBytes(a.inputFormat)->nSamplesPerSec, 8000u);
  EXPECT_EQ(a.compressionFormatSet, 1);
  EXPECT_EQ(a.compressionFormatName, "GSM 6.10");
  EXPECT_EQ(WaveFormatEx::FromBytes(a.compressionFormat)->wFormatTag, 0x31);
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace kelmo::test
