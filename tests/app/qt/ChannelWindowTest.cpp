#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include "app/qt/DialogPlacement.h"
#include "app/qt/MainWindowFixture.h"
#include "audio/sim/SimVolumeControl.h"

namespace kelmo::test {
namespace {

class ChannelWindow : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    WriteChannelFile({{"Uno", "48.25"}, {"Norte", "62.25"}, {"Rio", "175.25"}},
                     {{"Faro", "87.60"}, {"Centro", "100.10"}});
  }
  QString ChannelLine() const { return Find<QLabel>("1003")->text(); }
  void Type(char c) { QTest::keyClick(static_cast<QWidget*>(nullptr), c); }
  QStringList SystemItems() const {
    QStringList items;
    for (QAction* a : dlg->SystemMenu()->actions()) items << (a->isSeparator() ? "-" : a->text());
    return items.mid(items.indexOf("-"));
  }
};

TEST_F(ChannelWindow, StartTunesTheSavedChannelAndSetsTheSpin) {
  WriteSettings("[General]\r\nChannel=1\r\nTV=0\r\nOnTop=1\r\n");
  Open();
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());
  EXPECT_TRUE(dlg->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(ChannelLine(), "(100.10)  Centro");
  EXPECT_EQ(dlg->Spin()->Upper(), 1);
  EXPECT_EQ(dlg->Spin()->Pos(), 1);
  EXPECT_EQ(Bus().Lines().back(), "GPIO 1");  // FM sound after the tuning
  EXPECT_EQ(SystemItems(), (QStringList{"-", "Small View", "On Top", "Mute Sound", "-",
                                        "TV Channel", "FM Channel"}));
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_TV_CHANNELS)->isEnabled());
}

// The keys of the View menu and the wheel over the picture step through the list as a remote
// does, wrapping, with the line and the on-screen display following; M mutes with the button
// pressed and the item checked; the keypad's + turns the volume up.
TEST_F(ChannelWindow, TvKeysAndWheelStepChannelsAndMuteShowsEverywhere) {
  SimVolumeControl volume;
  ctx->volume = &volume;
  Open();
  auto press = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), static_cast<Qt::Key>(key), mods);
    QApplication::processEvents();
    return ChannelLine();
  };
  EXPECT_EQ(press(Qt::Key_PageUp), "(62.25)  Norte");
  EXPECT_EQ(dlg->Viewer().Osd().channel, "2  Norte");
  EXPECT_EQ(press(Qt::Key_Up), "(175.25)  Rio");
  EXPECT_EQ(press(Qt::Key_PageUp), "(48.25)  Uno");  // past the last: the first
  EXPECT_EQ(press(Qt::Key_Down), "(175.25)  Rio");
  EXPECT_EQ(press(Qt::Key_Backspace), "(48.25)  Uno");
  EXPECT_EQ(dlg->Spin()->Pos(), 0);
  QWheelEvent wheel(QPointF(20, 20), dlg->Picture()->mapToGlobal(QPointF(20, 20)), {}, {0, -120},
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(dlg->Picture(), &wheel);
  EXPECT_EQ(ChannelLine(), "(175.25)  Rio");

  press(Qt::Key_M);
  EXPECT_TRUE(ctx->state.muted);
  EXPECT_EQ(Bus().Last("GPIO "), "GPIO 0");
  EXPECT_TRUE(Find<QPushButton>("1024")->isChecked());
  EXPECT_TRUE(dlg->SystemAction(CKelmoDlg::IDM_MUTE)->isChecked());
  EXPECT_TRUE(dlg->Viewer().Osd().mute);
  press(Qt::Key_M);
  EXPECT_FALSE(Find<QPushButton>("1024")->isChecked());

  const int before = volume.Volume();
  press(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(volume.Volume(), before + 5);
  EXPECT_EQ(dlg->Viewer().Osd().volume, before + 5);
  EXPECT_EQ(ChannelLine(), "(175.25)  Rio");  // the keypad's + is no channel key
}

// Full screen shows the picture alone on the whole screen; Escape brings the window back as it
// was, and a double click on the picture goes to full screen again.
TEST_F(ChannelWindow, FullScreenShowsThePictureAloneAndEscapeLeavesIt) {
  Open();
  const QRect normal = dlg->geometry();
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_F11);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->isFullScreen(); }));
  QApplication::processEvents();
  EXPECT_FALSE(dlg->MainMenu()->isVisible());
  EXPECT_FALSE(Find<QPushButton>("1006")->isVisible());
  EXPECT_EQ(dlg->Picture()->size(), dlg->size());
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg->isFullScreen(); }));
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->geometry() == normal; }));
  EXPECT_TRUE(Find<QPushButton>("1006")->isVisible());
  EXPECT_TRUE(dlg->MainMenu()->isVisible());
  QTest::mouseDClick(dlg->Picture(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->isFullScreen(); }));
}

// A dialog opens beside its owner, right where the screen has room, else left; never over it.
TEST(DialogPlacement, BesideTheOwnerWhereTheScreenHasRoom) {
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  QWidget owner, dialog;
  dialog.setFixedSize(screen.width() / 4, 100);
  for (const int x : {screen.left(), screen.right() - screen.width() / 2}) {
    owner.setGeometry(x, screen.top() + 10, screen.width() / 2, 200);
    PlaceBeside(dialog, owner);
    EXPECT_FALSE(dialog.frameGeometry().intersects(owner.frameGeometry())) << x;
    EXPECT_TRUE(screen.contains(dialog.frameGeometry())) << x;
    EXPECT_EQ(dialog.y(), owner.frameGeometry().top()) << x;
  }
}

TEST_F(ChannelWindow, TypedCharactersTuneOnceOnlyWhileTheWindowIsActiveAndMuteHolds) {
  Open();
  EXPECT_EQ(ChannelLine(), "(48.25)  Uno");
  int writes = Bus().Writes();
  Type('-');  // wraps to the last TV channel
  EXPECT_EQ(ChannelLine(), "(175.25)  Rio");
  EXPECT_EQ(Bus().Writes(), writes + 1);  // one tuning per key press, however far it travelled

  // Mute keeps the sound off across tunings; the system item gives it back.
  Find<QPushButton>("1024")->click();
  Type('3');
  EXPECT_EQ(Bus().Last("GPIO "), "GPIO 0");
  dlg->OnSysCommand(CKelmoDlg::IDM_MUTE);
  EXPECT_EQ(Bus().Last("GPIO "), "GPIO 3");

  // With a pop-up menu open the key belongs to the menu.
  writes = Bus().Writes();
  dlg->SystemMenu()->popup(dlg->mapToGlobal(QPoint(10, 10)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->SystemMenu()->isVisible(); }));
  Type('1');
  dlg->SystemMenu()->close();
  EXPECT_EQ(Bus().Writes(), writes);

  // In another window the digit is typed there.
  QDialog other;
  auto* edit = new QLineEdit(&other);
  (new QVBoxLayout(&other))->addWidget(edit);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  edit->setFocus();
  Type('1');
  EXPECT_EQ(edit->text(), "1");
  EXPECT_EQ(Bus().Writes(), writes);
  EXPECT_EQ(ChannelLine(), "(175.25)  Rio");
}

TEST_F(ChannelWindow, SpinArrowsStepThroughTheListAndPopUpsTuneTheirChoice) {
  Open();
  auto* right = Find<QWidget>("1070")->findChild<QToolButton*>("right");
  auto* left = Find<QWidget>("1070")->findChild<QToolButton*>("left");
  ASSERT_TRUE(right && left);
  QStringList seen;
  for (QToolButton* b : {right, right, left}) {
    QTest::mouseClick(b, Qt::LeftButton);
    seen << ChannelLine().section("  ", 1);
  }
  // The first click tunes the current channel again; then one step per click.
  EXPECT_EQ(seen, (QStringList{"Uno", "Norte", "Uno"}));

  dlg->runChannelMenu = [](const std::vector<std::string>& items, const QPoint&) {
    EXPECT_EQ(items, (std::vector<std::string>{"Faro", "Centro"}));
    return 1;
  };
  Find<QPushButton>("1007")->click();
  EXPECT_EQ(ChannelLine(), "(100.10)  Centro");

  dlg->runChannelMenu = [](const std::vector<std::string>&, const QPoint&) { return -1; };
  const int writes = Bus().Writes();
  Find<QPushButton>("1006")->click();  // closed without a choice
  EXPECT_EQ(Bus().Writes(), writes);
  EXPECT_EQ(ctx->state.tvMode, 0);
}

TEST_F(ChannelWindow, AnEmptyFmListHasNoFmChannelItem) {
  WriteChannelFile({{"Uno", "48.25"}}, {});
  Open();
  EXPECT_EQ(SystemItems(),
            (QStringList{"-", "Small View", "On Top", "Mute Sound", "-", "TV Channel"}));
}

TEST_F(ChannelWindow, WithoutTheCardLibraryTheWindowOpensAndRefusesTheCardControls) {
  WriteChannelFile({{"Uno", "48.25"}, {"Norte", "62.25"}}, {});
  ctx->card.SetCandidates({dataDir.filePath("missing/Btvid_32.so").toStdString()});
  Open();  // the missing library's message is the card library test's
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_TV_CHANNELS)->isEnabled());
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_FM_CHANNELS)->isEnabled());
  EXPECT_EQ(SystemItems(), (QStringList{"-", "Small View", "On Top"}));
  EXPECT_EQ(ChannelLine(), "(48.25)  Uno");  // the line follows even with nothing to tune

  messages.Clear();
  Find<QPushButton>("1006")->click();
  Find<QPushButton>("1024")->click();  // Mute: nothing at all
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Btvid_32.so not present."});
}

}  // namespace
}  // namespace kelmo::test
