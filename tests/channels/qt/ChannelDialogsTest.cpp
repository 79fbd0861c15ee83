#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "app/qt/DialogPorts.h"
#include "base/qt/UpDownControl.h"
#include "channels/qt/CAddChannelDlg.h"
#include "channels/qt/CRadioChannelsDlg.h"
#include "channels/qt/CTvChannelsDlg.h"
#include "support/ChannelBytes.h"
#include "support/TempDir.h"
#include "tuner/SimCardFixture.h"

namespace kelmo {
namespace {

using test::Record;
using test::U32;
using Texts = std::vector<std::string>;

// The channel dialogs over the simulated card and a Channels.dat of the test's own.
class ChannelDialogsTest : public test::SimCardFixture {
 protected:
  void WriteChannels(const std::string& bytes) { test::WriteFile(dir / "Channels.dat", bytes); }
  std::string ReadChannels() const { return test::ReadFile(dir / "Channels.dat"); }

  template <typename T>
  T* Find(QWidget* dlg, const char* name) {
    T* w = dlg->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  static Texts Rows(QWidget* dlg) {
    Texts out;
    auto* list = dlg->findChild<QTreeWidget*>("m_channelList");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      out.push_back(list->topLevelItem(i)->text(1).toStdString() + " " +
                    list->topLevelItem(i)->text(0).toStdString());
    }
    return out;
  }

  static void ClickRow(QWidget* dlg, int row, bool doubleClick) {
    auto* list = dlg->findChild<QTreeWidget*>("m_channelList");
    const QRect r = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    if (doubleClick) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
  }

  // Steps the dialog's search until it proposes a channel (true) or ends (false).
  static bool StepToProposal(ChannelsDialog& dlg) {
    while (dlg.FireSearchWait()) {
    }
    return dlg.Search().Proposing();
  }

  void Answer(ChannelsDialog& dlg, const char* button, const QString& name = {}) {
    CAddChannelDlg* box = dlg.AddChannelDlg();
    ASSERT_TRUE(box->isVisible());
    box->findChild<QLineEdit*>("m_channelNameEdit")->setText(name);
    Find<QPushButton>(box, button)->click();
  }
};

TEST_F(ChannelDialogsTest, TvOpensOnPositionZeroAClickTunesARowAndDeleteLoadsTheNext) {
  WriteChannels(U32(3) + Record("Uno", "48.25") + Record("Cinco", "175.25") + Record("c", "62.25") +
                U32(0));
  context->state.tunerType = 1;
  CTvChannelsDlg dlg(ChannelDialogPortsOf(*context));
  dlg.show();
  EXPECT_EQ(Find<QSlider>(&dlg, "m_frequencySlider")->value(), 0);
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "38");
  EXPECT_EQ(Find<QComboBox>(&dlg, "m_tunerTypeCombo")->currentIndex(), 1);
  EXPECT_EQ(WriteCount(), 0);

  ClickRow(&dlg, 1, false);
  EXPECT_EQ(Find<QLineEdit>(&dlg, "m_channelNameEdit")->text(), "Cinco");
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "175.25");
  EXPECT_EQ(Find<UpDownControl>(&dlg, "m_frequencySpin")->Pos(), 549);
  EXPECT_EQ(LastWrite(), "W C2 0D 63 8E 04");  // Temic, 175.25 MHz: VHF high

  // The spin steps a quarter MHz and tunes.
  Find<UpDownControl>(&dlg, "m_frequencySpin")->Click(+1);
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "175.50");
  EXPECT_EQ(LastWrite(), "W C2 0D 67 8E 04");

  ClickRow(&dlg, 2, false);
  Find<QPushButton>(&dlg, "deleteChannelButton")->click();
  EXPECT_EQ(Rows(&dlg), (Texts{"48.25 Uno", "175.25 Cinco"}));
  EXPECT_EQ(Find<QLineEdit>(&dlg, "m_channelNameEdit")->text(), "Cinco");  // the new last row
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "175.25");
  Find<QPushButton>(&dlg, "moveUpButton")->click();
  EXPECT_EQ(Rows(&dlg), (Texts{"175.25 Cinco", "48.25 Uno"}));
  EXPECT_EQ(dlg.findChild<QTreeWidget*>("m_channelList")->currentIndex().row(), 0);
  Find<QPushButton>(&dlg, "moveUpButton")->click();  // row 0 stays
  EXPECT_EQ(Rows(&dlg), (Texts{"175.25 Cinco", "48.25 Uno"}));

  // The arrow keys load the row they reach, as a click does.
  auto* list = dlg.findChild<QTreeWidget*>("m_channelList");
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(Find<QLineEdit>(&dlg, "m_channelNameEdit")->text(), "Uno");
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "48.25");
}

TEST_F(ChannelDialogsTest, FmDoubleClickOn10005GivesPosition251) {
  WriteChannels(U32(0) + U32(2) + Record("Uno", "100.05") + Record("Dos", "87.50"));
  CRadioChannelsDlg dlg(ChannelDialogPortsOf(*context));
  dlg.show();
  EXPECT_EQ(Find<QLabel>(&dlg, "m_frequencyLabel")->text(), "87.50");
  ClickRow(&dlg, 0, false);
  EXPECT_EQ(WriteCount(), 0);  // one click only selects
  ClickRow(&dlg, 0, true);
  EXPECT_EQ(Find<QSlider>(&dlg, "m_frequencySlider")->value(), 251);
  EXPECT_EQ(LastWrite(), "W C2 08 A7 88 A5");  // 2215 steps of 50 kHz
  EXPECT_EQ(context->state.tvMode, 0);

  // Delete leaves nothing selected and does not tune; Add empties the name.
  const int writes = WriteCount();
  Find<QPushButton>(&dlg, "deleteChannelButton")->click();
  EXPECT_EQ(Rows(&dlg), (Texts{"87.50 Dos"}));
  EXPECT_TRUE(dlg.findChild<QTreeWidget*>("m_channelList")->selectedItems().isEmpty());
  EXPECT_EQ(WriteCount(), writes);
  Find<QLineEdit>(&dlg, "m_channelNameEdit")->setText("Same");
  Find<QPushButton>(&dlg, "addChannelButton")->click();
  EXPECT_TRUE(Find<QLineEdit>(&dlg, "m_channelNameEdit")->text().isEmpty());
  EXPECT_EQ(Rows(&dlg), (Texts{"87.50 Dos", "100.05 Same"}));
}

TEST_F(ChannelDialogsTest, TheTunerTypeSurvivesCancelAndOkWithNoRowsWritesFourBytes) {
  const std::string fm = U32(1) + Record("Radio", "100.10");
  WriteChannels(U32(1) + Record("Uno", "48.25") + fm);
  {
    CTvChannelsDlg dlg(ChannelDialogPortsOf(*context));
    dlg.show();
    Find<QComboBox>(&dlg, "m_tunerTypeCombo")->setCurrentIndex(0);
    EXPECT_EQ(context->state.tunerType, 0);
    ClickRow(&dlg, 0, false);
    Find<QPushButton>(&dlg, "deleteChannelButton")->click();
    Find<QPushButton>(&dlg, "IDCANCEL")->click();
  }
  EXPECT_EQ(context->state.tunerType, 0);
  EXPECT_EQ(context->channels.tv.count, 1);
  EXPECT_EQ(ReadChannels(), U32(1) + Record("Uno", "48.25") + fm);

  CTvChannelsDlg dlg(ChannelDialogPortsOf(*context));
  dlg.show();
  ClickRow(&dlg, 0, false);
  Find<QPushButton>(&dlg, "deleteChannelButton")->click();
  Find<QPushButton>(&dlg, "IDOK")->click();
  EXPECT_EQ(context->channels.tv.count, 0);
  EXPECT_EQ(ReadChannels().substr(0, 4 + fm.size()), U32(0) + fm);
}

TEST_F(ChannelDialogsTest, TheTvSearchRunsWithTheWindowAliveAndSweepsTheBand) {
  UseAntenna("TV 62.25 Dos\n");
  CTvChannelsDlg dlg(ChannelDialogPortsOf(*context));
  dlg.show();
  auto* progress = Find<QProgressBar>(&dlg, "m_searchProgress");
  Find<QPushButton>(&dlg, "m_autodetectButton")->click();
  EXPECT_FALSE(Find<QPushButton>(&dlg, "m_autodetectButton")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(&dlg, "IDOK")->isEnabled());
  EXPECT_FALSE(Find<QSlider>(&dlg, "m_frequencySlider")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(&dlg, "IDCANCEL")->isEnabled());

  ASSERT_TRUE(StepToProposal(dlg));
  EXPECT_EQ(dlg.AddChannelDlg()->findChild<QLabel*>("m_frequencyLabel")->text(), "62.25");
  EXPECT_EQ(progress->value(), 2);
  Answer(dlg, "noAddButton");
  EXPECT_FALSE(StepToProposal(dlg));
  EXPECT_EQ(progress->value(), 104);
  EXPECT_EQ(Find<QLabel>(&dlg, "m_searchFrequencyLabel")->text(), "855.25");
  EXPECT_TRUE(Find<QPushButton>(&dlg, "m_autodetectButton")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(&dlg, "IDOK")->isEnabled());
}

TEST_F(ChannelDialogsTest, EscapeDuringAnFmSearchAbortsAndCancelsKeepingTheOldList) {
  const std::string bytes = U32(0) + U32(1) + Record("Old", "99.00");
  WriteChannels(bytes);
  CRadioChannelsDlg dlg(ChannelDialogPortsOf(*context));
  dlg.show();
  Find<QPushButton>(&dlg, "m_autodetectButton")->click();
  ASSERT_TRUE(StepToProposal(dlg));
  Answer(dlg, "addButton", "Faro");
  ASSERT_TRUE(StepToProposal(dlg));
  // Escape in the Add Channel box is its Abort: what was found stays in the list (the old list is
  // gone), and the tuner stays on the last candidate tried.
  QTest::keyClick(dlg.AddChannelDlg(), Qt::Key_Escape);
  EXPECT_FALSE(dlg.Search().Running());
  EXPECT_EQ(Rows(&dlg), (Texts{"87.60 Faro"}));
  EXPECT_EQ(LastWrite(), "W C2 07 D0 88 A5");  // 89.30 MHz + 10.7 MHz in 50 kHz steps: 2000

  Find<QPushButton>(&dlg, "m_autodetectButton")->click();
  ASSERT_TRUE(dlg.FireSearchWait());
  QTest::keyClick(&dlg, Qt::Key_Escape);  // the dialog's own Escape: abort, then Cancel
  EXPECT_FALSE(dlg.Search().Running());
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(context->channels.fm.count, 1);
  EXPECT_EQ(ReadChannels(), bytes);
}

}  // namespace
}  // namespace kelmo
