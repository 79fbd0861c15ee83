#include <gmock/gmock.h>
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

class RadioLineInOptionsDlgTest : public ::testing::Test {
 protected:
  // Runs `act` on the WMA options once they are open, then lets `press` close them.
  void WhenWmaOptionsOpen(std::function<void(QComboBox*)> act, const char* press) {
    QTimer::singleShot(0, [this, act, press] {
      auto* wma = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(wma, nullptr);
      ASSERT_EQ(wma, &dlg.WmaOptionsDialog());
      act(wma->findChild<QComboBox*>("m_wmaFormat"));
      wma->findChild<QPushButton*>(press)->click();
    });
  }
  void Click(const char* name) { dlg.findChild<QPushButton*>(name)->click(); }

  AudioFormatSettings formats;
  test::ScriptedChooser chooser;
  test::RecordingMessages messages;
  CRadioLineInOptionsDlg dlg{formats, chooser, messages};
};

TEST_F(RadioLineInOptionsDlgTest, WmaCompressionOpensItsOptionsWithTheRowsOfItsRate) {
  chooser.Chosen(FormatOf(1, 44100, 2), "PCM");
  Click("m_inputFormat");
  chooser.Chosen(FormatOf(0x161, 44100, 2), "Windows Media Audio V2");
  QStringList rows;
  WhenWmaOptionsOpen(
      [&](QComboBox* combo) {
        for (int i = 0; i < combo->count(); ++i) rows << combo->itemText(i);
        EXPECT_EQ(combo->currentIndex(), 6);
        combo->setCurrentIndex(5);
      },
      "okButton");
  Click("m_compression");
  EXPECT_EQ(rows.size(), 7);
  EXPECT_EQ(rows.front(), "32 kbps, 44 KHz, Mono");
  EXPECT_EQ(
      std::tie(formats.wmaOutput, formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
      std::make_tuple(1, 128000, 44100, 2));

  // Cancelling the chooser keeps the WMA name, so its options open again; Cancel there zeroes them.
  WhenWmaOptionsOpen([](QComboBox*) {}, "cancelButton");
  Click("m_compression");
  EXPECT_EQ(
      std::tie(formats.wmaOutput, formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
      std::make_tuple(1, 0, 0, 0));
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(RadioLineInOptionsDlgTest, RateWithoutRowsListsNothingAndOkGivesZeros) {
  formats.inputFormatSet = 1;
  formats.inputFormat = FormatOf(1, 12000, 1).ToBytes();
  chooser.Chosen(FormatOf(0x160, 12000, 1), "Windows Media Audio V1");
  formats.wmaBitrate = 5;
  WhenWmaOptionsOpen([](QComboBox* combo) { EXPECT_EQ(combo->count(), 0); }, "okButton");
  Click("m_compression");
  EXPECT_EQ(
      std::tie(formats.wmaOutput, formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
      std::make_tuple(1, 0, 0, 0));
}

}  // namespace
}  // namespace kelmo
