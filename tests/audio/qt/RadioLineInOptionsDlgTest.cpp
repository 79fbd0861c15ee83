#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

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
  // Clicks `button`; once the WMA options are open, runs `act` on their list and presses `press`.
  const auto clickWithWmaOptions = [&](const char* button, std::function<void(QComboBox*)> act,
                                       const char* press) {
    QTimer::singleShot(0, [&dlg, act, press] {
      auto* wma = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_EQ(wma, &dlg.WmaOptionsDialog());
      act(wma->findChild<QComboBox*>("m_wmaFormat"));
      wma->findChild<QPushButton*>(press)->click();
    });
    dlg.findChild<QPushButton*>(button)->click();
  };
  const auto wmaChoice = [&] {
    return std::make_tuple(formats.wmaOutput, formats.wmaBitrate, formats.wmaSampleRate,
                           formats.wmaChannels);
  };

  chooser.Chosen(FormatOf(1, 44100, 2), "PCM");
  dlg.findChild<QPushButton*>("m_inputFormat")->click();
  chooser.Chosen(FormatOf(0x161, 44100, 2), "Windows Media Audio V2");
  clickWithWmaOptions(
      "m_compression",
      [](QComboBox* combo) {
        EXPECT_EQ(combo->currentIndex(), 6);
        combo->setCurrentIndex(5);
      },
      "okButton");
  EXPECT_EQ(wmaChoice(), std::make_tuple(1, 128000, 44100, 2));

  // Cancelling the chooser keeps the WMA name, so its options open again; Cancel there zeroes them.
  clickWithWmaOptions(
      "m_compression", [](QComboBox*) {}, "cancelButton");
  EXPECT_EQ(wmaChoice(), std::make_tuple(1, 0, 0, 0));
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace kelmo
