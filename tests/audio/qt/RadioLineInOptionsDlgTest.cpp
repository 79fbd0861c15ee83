#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "audio/WaveFormat.h"
#include "audio/qt/CRadioLineInOptionsDlg.h"
#include "support/Fakes.h"
#include "support/ScriptedChooser.h"

namespace kelmo {
namespace {

using test::FormatOf;

TEST(RadioLineInOptionsDlgTest, WmaCompressionOpensItsOptionsOnTheLastRowOfItsRate) {
  AudioFormatSettings formats;
  test::ScriptedChooser chooser;
  test::RecordingMessages messages;
  CRadioLineInOptionsDlg dlg{formats, chooser, messages};
  // Both titles fit in a title bar's bold font beside its buttons.
  for (QDialog* d : {static_cast<QDialog*>(&dlg), static_cast<QDialog*>(&dlg.WmaOptionsDialog())}) {
    QFont bold = d->font();
    bold.setBold(true);
    EXPECT_GT(d->width(), QFontMetrics(bold).horizontalAdvance(d->windowTitle()) + 100);
  }
  // Clicks Compression; once the WMA options are open, picks `row` (-1: the one they opened on)
  // and presses `press`. Gives the row they opened on.
  int opened = -1;
  const auto compressWithWmaOptions = [&](int row, const char* press) {
    QTimer::singleShot(0, [&dlg, &opened, row, press] {
      auto* wma = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_EQ(wma, &dlg.WmaOptionsDialog());
      auto* list = wma->findChild<QComboBox*>("m_wmaFormat");
      opened = list->currentIndex();
      if (row >= 0) list->setCurrentIndex(row);
      wma->findChild<QPushButton*>(press)->click();
    });
    dlg.findChild<QPushButton*>("m_compression")->click();
    return opened;
  };
  const auto wmaChoice = [&] {
    return std::make_tuple(formats.wmaOutput, formats.wmaBitrate, formats.wmaSampleRate,
                           formats.wmaChannels);
  };

  chooser.Chosen(FormatOf(1, 44100, 2), "PCM");
  dlg.findChild<QPushButton*>("m_inputFormat")->click();
  chooser.Chosen(FormatOf(0x161, 44100, 2), "Windows Media Audio V2");
  EXPECT_EQ(compressWithWmaOptions(5, "okButton"), 6);
  EXPECT_EQ(wmaChoice(), std::make_tuple(1, 128000, 44100, 2));

  // Cancelling the chooser keeps the WMA name, so its options open again; Cancel there zeroes them.
  compressWithWmaOptions(-1, "cancelButton");
  EXPECT_EQ(wmaChoice(), std::make_tuple(1, 0, 0, 0));
}

}  // namespace
}  // namespace kelmo
