#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdio>
#include <functional>

#include "app/qt/MainWindowFixture.h"
#include "app/qt/SignalPipe.h"
#include "platform/InstanceLock.h"
#include "platform/qt/QtMessages.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

using MainWindow = MainWindowFixture;

// At the natural size the picture is the card's 384 x 288 at the top left; a larger window gives
// the picture the new space while the buttons keep to the right edge and the fields to the bottom.
TEST_F(MainWindow, ControlsFitAndStayClearOfThePictureAtAnySize) {
  Open();
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_NE(dlg->minimumSize(), dlg->maximumSize());
  auto* picture = Find<QWidget>("MyCaptureWindow");
  EXPECT_EQ(picture->geometry(), QRect(0, 0, 384, 288));
  auto* client = Find<QWidget>("client");
  const QSize natural = client->size();
  for (const QSize grown : {natural, natural + QSize(500, 300)}) {
    dlg->resize(dlg->size() + grown - client->size());
    QApplication::processEvents();
    ASSERT_EQ(client->size(), grown);
    const QRect shown = picture->geometry();
    EXPECT_EQ(shown.size(), QSize(384, 288) + grown - natural);
    for (const char* id : {"1006", "1007", "1024", "1025", "1008", "1009", "1010", "1070"}) {
      auto* b = Find<QWidget>(id);
      ASSERT_NE(b, nullptr) << id;
      EXPECT_FALSE(b->accessibleName().isEmpty()) << id;
      EXPECT_FALSE(b->geometry().intersects(shown)) << id;
      EXPECT_LT(grown.width() - b->geometry().right(), 40) << id;  // at the right edge
      if (auto* button = qobject_cast<QPushButton*>(b)) {
        EXPECT_LE(b->fontMetrics().horizontalAdvance(button->text()) + 4, b->width()) << id;
        EXPECT_LE(b->fontMetrics().height(), b->height()) << id;
      }
    }
    for (const char* id : {"1000", "1001", "1002", "1003", "1004"}) {
      auto* label = Find<QLabel>(id);
      ASSERT_NE(label, nullptr) << id;
      EXPECT_FALSE(label->accessibleName().isEmpty()) << id;
      EXPECT_FALSE(label->geometry().intersects(shown)) << id;
      EXPECT_LT(grown.height() - label->geometry().bottom(), 60) << id;  // at the bottom
      EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << id;
    }
  }
  // The widest texts the narrow fields show must fit.
  for (auto [id, text] : {std::pair{"1002", "Overlay OFF"}, std::pair{"1001", "RECORDING"}}) {
    auto* field = Find<QLabel>(id);
    EXPECT_LE(field->fontMetrics().horizontalAdvance(text), field->contentsRect().width()) << id;
  }
}

// Alt+H opens Help, Alt+A Channels, each button has a mnemonic of its own; in small view no menu
// key opens a menu.
TEST_F(MainWindow, HelpSitsAtTheRightAndEveryMnemonicIsItsOwn) {
  Open();
  QMenuBar* bar = dlg->MainMenu();
  QAction* help = nullptr;
  QAction* capture = nullptr;
  QAction* channels = nullptr;
  QSet<QChar> keys;
  auto mnemonic = [&](const QString& text) {
    const int amp = text.indexOf('&');
    EXPECT_GE(amp, 0) << text.toStdString();
    if (amp < 0) return;
    const QChar key = text.at(amp + 1).toLower();
    EXPECT_FALSE(keys.contains(key)) << text.toStdString();
    keys.insert(key);
  };
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) continue;
    mnemonic(a->text());
    if (a->text() == "&Help") help = a;
    if (a->text() == "&Capture") capture = a;
    if (a->text() == "Ch&annels") channels = a;
  }
  for (const char* id : {"1006", "1007", "1024", "1025", "1008", "1009", "1010"})
    mnemonic(Find<QPushButton>(id)->text());
  ASSERT_TRUE(help && capture && channels);
  EXPECT_GT(bar->actionGeometry(help).left(), bar->actionGeometry(capture).right() + 20);
  EXPECT_GE(bar->actionGeometry(help).right(), bar->width() - 20);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_HELP_TOPICS)->isEnabled());

  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  for (Qt::Key key : {Qt::Key_H, Qt::Key_E, Qt::Key_O, Qt::Key_C}) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr)
        << QKeySequence(key).toString().toStdString();
  }
  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  for (auto [key, menu] : {std::pair{Qt::Key_H, help}, std::pair{Qt::Key_A, channels}}) {
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->menu()->isVisible(); }));
    menu->menu()->close();
  }
}

// Both toggles keep the same menu bar, check marks, window and handle.
TEST_F(MainWindow, SmallViewAndOnTopToggleInPlace) {
  Open();
  const QSize natural = dlg->size();
  QWindow* handle = dlg->windowHandle();
  const WId id = dlg->winId();
  QMenuBar* bar = dlg->MainMenu();
  dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->trigger();
  EXPECT_TRUE(handle->flags() & Qt::WindowStaysOnTopHint);

  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(dlg->SystemAction(CKelmoDlg::IDM_SMALLVIEW)->isChecked());
  EXPECT_EQ(dlg->size(), QSize(384, 288));
  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  EXPECT_EQ(dlg->MainMenu(), bar);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(dlg->SystemAction(CKelmoDlg::IDM_SMALLVIEW)->isChecked());
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());
  EXPECT_EQ(dlg->size(), natural);

  dlg->OnSysCommand(CKelmoDlg::IDM_ONTOP);  // the system item toggles the same state
  EXPECT_EQ(ctx->state.alwaysOnTop, 0);
  EXPECT_FALSE(handle->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());
  EXPECT_EQ(dlg->windowHandle(), handle);
  EXPECT_EQ(dlg->winId(), id);
  EXPECT_TRUE(dlg->isVisible());
}

// Escape leaves the window open; each way out ends it, silences the card or leaves its sound on,
// and only one shuts the computer down, after the window is gone and once the user has said Yes.
TEST_F(MainWindow, EachWayOutEndsTheWindowWithItsSoundAndShutdown) {
  WriteChannelFile({{"Uno", "48.25"}}, {});
  struct Case {
    std::function<void(CKelmoDlg&)> exit;
    const char* sound;
    int soundOn;
    int shutdowns;
  };
  auto menu = [](int id) { return [id](CKelmoDlg& d) { d.MenuAction(id)->trigger(); }; };
  const Case cases[] = {
      {[](CKelmoDlg& d) { d.close(); }, "GPIO 0", 0, 0},  // the close box, Alt+F4
      {menu(CKelmoDlg::ID_EXIT), "GPIO 0", 0, 0},
      {menu(CKelmoDlg::ID_EXIT_SOUND_ON), "GPIO 3", 1, 0},  // TV sound of the channel tuned
      {menu(CKelmoDlg::ID_EXIT_SHUTDOWN), "GPIO 0", 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    ctx = MakeContext();
    std::remove(I2cLogPath().c_str());
    const int before = power.ShutdownCount();
    Open();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_FALSE(dlg->Destroyed());
    if (c.shutdowns != 0) {
      // Asked first, No by default: No (Return) leaves everything as it was.
      messages.Clear();
      messages.Answer(MessageAnswer::No);
      c.exit(*dlg);
      ASSERT_EQ(messages.Shown().size(), 1u);
      EXPECT_EQ(messages.Shown()[0].text, "Exit Kelmo and shut down the computer?");
      EXPECT_EQ(messages.Shown()[0].defaultAnswer, MessageAnswer::No);
      EXPECT_FALSE(dlg->Destroyed());
      messages.Answer(MessageAnswer::Yes);
    }
    int shutdownsWhenDestroyed = -1;
    QObject::connect(dlg.get(), &CKelmoDlg::destroyedSequenceDone,
                     [&] { shutdownsWhenDestroyed = power.ShutdownCount() - before; });
    c.exit(*dlg);
    EXPECT_TRUE(dlg->Destroyed());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(ctx->state.soundOnAtExit, c.soundOn);
    EXPECT_EQ(Bus().Last("GPIO "), c.sound);
    EXPECT_EQ(shutdownsWhenDestroyed, 0);  // nothing before the sequence has run
    EXPECT_EQ(power.ShutdownCount() - before, c.shutdowns);
    CloseWindow();
  }
}

TEST_F(MainWindow, SystemMenuOpensByRightClickAndShiftF10UnlessRecording) {
  Open();
  QMenu* menu = dlg->SystemMenu();

  int opened = 0;
  auto expectOpens = [&](std::function<void()> trigger) {
    QTimer::singleShot(50, [&] {
      if (menu->isVisible()) ++opened;
      menu->close();
    });
    trigger();
    QTest::qWait(100);
  };
  // Through the window, as the platform delivers it: the press becomes a context-menu request.
  const QPoint inPicture = Find<QWidget>("MyCaptureWindow")->mapTo(dlg.get(), QPoint(20, 20));
  auto rightClick = [&] {
    QTest::mouseClick(dlg->windowHandle(), Qt::RightButton, Qt::NoModifier, inPicture);
  };
  expectOpens(rightClick);
  expectOpens([&] { QTest::keyClick(dlg.get(), Qt::Key_F10, Qt::ShiftModifier); });
  EXPECT_EQ(opened, 2);

  FakeRecorder sound;  // a recording runs: the right click belongs to it then
  sound.recording = true;
  dlg->Recording().SetRecorders({&sound, nullptr});
  expectOpens(rightClick);
  EXPECT_EQ(opened, 2);
}

// A lock nobody else holds.
class FreeLock final : public InstanceLock {
 public:
  InstanceLockOutcome Acquire() override { return {}; }
  void OnRaiseRequest(std::function<void()>) override {}
  void Release() override {}
};

TEST_F(MainWindow, SigtermDuringStartUpEndsTheProgramOnceTheSettingsAreRead) {
  WriteSettings("[General]\r\nTuner=0\r\nFrameRate=10\r\n");
  // A damaged channel file: three TV channels announced, one present.
  std::ofstream(dataDir.filePath("Channels.dat").toStdString(), std::ios::binary)
      << U32(3) + Record("Uno", "48.25");
  QtMessages boxes;
  ctx = MakeContext(boxes);
  ctx->card.SetCandidates({dataDir.filePath("missing/Btvid_32.so").toStdString()});
  app = std::make_unique<CKelmoApp>(*ctx);
  SignalPipe pipe;
  QObject::connect(&pipe, &SignalPipe::terminate, app.get(), &CKelmoApp::CloseEverything);

  // The first timer runs in the loop of the first box: the missing card library.
  QTimer::singleShot(100, [] { std::raise(SIGTERM); });
  bool hung = false;
  QTimer::singleShot(5000, &pipe, [&] {
    hung = true;
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  FreeLock lock;
  RecordingEngine recording(*ctx);
  EXPECT_EQ(app->InitInstance(recording, lock, &boxes), 0);
  EXPECT_FALSE(hung);
  // The damaged channel file's box came after the signal and closed too; the settings were read
  // before they were written.
  const std::string config = ReadFile(dataDir.filePath("config.dat").toStdString());
  EXPECT_NE(config.find("Tuner=0\r\n"), std::string::npos) << config;
  EXPECT_NE(config.find("FrameRate=10\r\n"), std::string::npos);
  EXPECT_TRUE(QFile::exists(dataDir.filePath("Channels.dat.bad")));
  EXPECT_EQ(power.ShutdownCount(), 0);
}

}  // namespace
}  // namespace kelmo::test
