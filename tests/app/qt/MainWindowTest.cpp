#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <csignal>

#include "app/qt/MainWindowFixture.h"
#include "app/qt/SignalPipe.h"
#include "platform/InstanceLock.h"
#include "platform/qt/QtMessages.h"

namespace kelmo::test {
namespace {

using MainWindow = MainWindowFixture;

TEST_F(MainWindow, ControlsHaveTheirTextsFitAndStayClearOfThePicture) {
  Open();
  EXPECT_EQ(dlg->windowTitle(), "Pernola");
  EXPECT_FALSE(dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());  // not resizable

  const QRect picture(0, 0, 384, 288);
  auto* pic = Find<QWidget>("MyCaptureWindow");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->geometry(), picture);

  const std::pair<const char*, const char*> buttons[] = {
      {"1006", "TV"},   {"1007", "FM"},   {"1024", "Mute"}, {"1025", "Vol."},
      {"1008", "REC."}, {"1009", "STOP"}, {"1010", "level"}};
  for (auto [id, text] : buttons) {
    auto* b = Find<QPushButton>(id);
    ASSERT_NE(b, nullptr) << id;
    EXPECT_EQ(b->text(), text);
    EXPECT_FALSE(b->geometry().intersects(picture)) << id;
    EXPECT_LE(b->fontMetrics().horizontalAdvance(text) + 4, b->width()) << id;
    EXPECT_LE(b->fontMetrics().height(), b->height()) << id;
  }
  EXPECT_FALSE(Find<QPushButton>("1009")->isEnabled());
  for (const char* id : {"1000", "1001", "1002", "1003", "1004"}) {
    auto* label = Find<QLabel>(id);
    ASSERT_NE(label, nullptr) << id;
    EXPECT_FALSE(label->geometry().intersects(picture)) << id;
    EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height()) << id;
  }
  EXPECT_EQ(Find<QProgressBar>("1019")->maximum(), 99);
  // The widest texts the narrow fields show must fit.
  for (auto [id, text] : {std::pair{"1002", "Overlay OFF"}, std::pair{"1001", "RECORDING"}}) {
    auto* field = Find<QLabel>(id);
    EXPECT_LE(field->fontMetrics().horizontalAdvance(text), field->contentsRect().width()) << id;
  }
}

TEST_F(MainWindow, MenuBarHasHelpAtTheRightAndGreyedHelpItem) {
  Open();
  QMenuBar* bar = dlg->MainMenu();
  QStringList titles;
  QAction* help = nullptr;
  QAction* capture = nullptr;
  for (QAction* a : bar->actions()) {
    if (a->isSeparator()) continue;
    titles << a->text();
    if (a->text() == "&Help") help = a;
    if (a->text() == "&Capture") capture = a;
  }
  EXPECT_EQ(titles, (QStringList{"&Exit", "&Options", "C&hannels", "&Capture", "&Help"}));
  ASSERT_TRUE(help && capture);
  EXPECT_GT(bar->actionGeometry(help).left(), bar->actionGeometry(capture).right() + 20);
  EXPECT_GE(bar->actionGeometry(help).right(), bar->width() - 20);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_HELP_TOPICS)->isEnabled());
  EXPECT_EQ(dlg->MenuAction(CKelmoDlg::ID_EXIT_SOUND_ON)->text(), "Exit and Sound &ON");
}

TEST_F(MainWindow, AltHOpensChannelsNotHelp) {
  Open();
  QMenu* channels = nullptr;
  QMenu* help = nullptr;
  for (QAction* a : dlg->MainMenu()->actions()) {
    if (a->text() == "C&hannels") channels = a->menu();
    if (a->text() == "&Help") help = a->menu();
  }
  ASSERT_TRUE(channels && help);
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return channels->isVisible(); }));
  EXPECT_FALSE(help->isVisible());
  channels->close();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return channels->isVisible(); }));
  EXPECT_FALSE(help->isVisible());
  channels->close();
}

TEST_F(MainWindow, NoMenuKeyOpensAMenuInSmallView) {
  Open();
  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  for (Qt::Key key : {Qt::Key_H, Qt::Key_E, Qt::Key_O, Qt::Key_C}) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr)
        << QKeySequence(key).toString().toStdString();
  }
  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
  QApplication::activePopupWidget()->close();
}

TEST_F(MainWindow, EscapeLeavesTheWindowOpenTheCloseBoxEndsIt) {
  Open();
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_FALSE(dlg->Destroyed());

  dlg->close();  // the close box, Alt+F4 from the window manager
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_TRUE(dlg->Destroyed());
  EXPECT_EQ(power.ShutdownCount(), 0);
}

TEST_F(MainWindow, SmallViewHidesTheMenuBarAndBringsTheSameOneBack) {
  Open();
  const QSize natural = dlg->size();
  dlg->ToggleAlwaysOnTop();  // a check mark that must survive
  QMenuBar* bar = dlg->MainMenu();

  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  EXPECT_TRUE(ctx->state.smallView);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(dlg->SystemAction(CKelmoDlg::IDM_SMALLVIEW)->isChecked());
  EXPECT_EQ(dlg->size(), QSize(384, 288));

  dlg->OnSysCommand(CKelmoDlg::IDM_SMALLVIEW);
  EXPECT_FALSE(ctx->state.smallView);
  EXPECT_EQ(dlg->MainMenu(), bar);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(dlg->SystemAction(CKelmoDlg::IDM_SMALLVIEW)->isChecked());
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());
  EXPECT_EQ(dlg->size(), natural);
}

TEST_F(MainWindow, OnTopTogglesTheWindowHandleFlagWithoutANewWindow) {
  Open();
  QWindow* handle = dlg->windowHandle();
  const WId id = dlg->winId();
  EXPECT_FALSE(handle->flags() & Qt::WindowStaysOnTopHint);

  dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->trigger();
  EXPECT_EQ(ctx->state.alwaysOnTop, 1);
  EXPECT_TRUE(handle->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());

  dlg->OnSysCommand(CKelmoDlg::IDM_ONTOP);  // the system item toggles the same state
  EXPECT_EQ(ctx->state.alwaysOnTop, 0);
  EXPECT_FALSE(handle->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_ALWAYS_ON_TOP)->isChecked());
  EXPECT_EQ(dlg->windowHandle(), handle);
  EXPECT_EQ(dlg->winId(), id);
  EXPECT_TRUE(dlg->isVisible());
}

TEST_F(MainWindow, ExitCommandsEndTheWindowAndOnlyOneShutsDownAfterIt) {
  struct Case {
    int id;
    int soundOn;
    int shutdowns;
  };
  for (Case c : {Case{CKelmoDlg::ID_EXIT, 0, 0}, Case{CKelmoDlg::ID_EXIT_SOUND_ON, 1, 0},
                 Case{CKelmoDlg::ID_EXIT_SHUTDOWN, 0, 1}}) {
    ctx = MakeContext();
    const int before = power.ShutdownCount();
    Open();
    int shutdownsWhenDestroyed = -1;
    QObject::connect(dlg.get(), &CKelmoDlg::destroyedSequenceDone,
                     [&] { shutdownsWhenDestroyed = power.ShutdownCount() - before; });
    dlg->MenuAction(c.id)->trigger();
    EXPECT_TRUE(dlg->Destroyed()) << c.id;
    EXPECT_FALSE(dlg->isVisible()) << c.id;
    EXPECT_EQ(ctx->state.soundOnAtExit, c.soundOn) << c.id;
    EXPECT_EQ(shutdownsWhenDestroyed, 0) << c.id;  // nothing before the sequence has run
    EXPECT_EQ(power.ShutdownCount() - before, c.shutdowns) << c.id;
    CloseWindow();
  }
}

TEST_F(MainWindow, SystemMenuOpensByRightClickMenuKeyAndShiftF10UnlessRecording) {
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
  expectOpens([&] {
    QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(5, 5), dlg->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dlg.get(), &e);
  });
  expectOpens([&] { QTest::keyClick(dlg.get(), Qt::Key_F10, Qt::ShiftModifier); });
  EXPECT_EQ(opened, 3);

  FakeRecorder sound;  // a recording runs: the right click belongs to it then
  sound.recording = true;
  dlg->Recording().SetRecorders({&sound, nullptr});
  expectOpens(rightClick);
  EXPECT_EQ(opened, 3);
}

TEST_F(MainWindow, SigtermClosesAnOpenMessageBoxThenTheWindow) {
  QtMessages boxes;
  ctx = MakeContext(boxes);
  app = std::make_unique<CKelmoApp>(*ctx);
  dlg = std::make_unique<CKelmoDlg>(*ctx);
  app->SetMainWindow(dlg.get());
  boxes.SetOwner(dlg.get());
  dlg->show();
  SignalPipe pipe;
  QObject::connect(&pipe, &SignalPipe::terminate, app.get(), &CKelmoApp::CloseEverything);

  QTimer::singleShot(100, [] { std::raise(SIGTERM); });
  const MessageAnswer answer = boxes.Show(std::string("Something to read"));
  EXPECT_EQ(answer, MessageAnswer::Ok);  // the box was closed, not answered
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->Destroyed(); }));
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(power.ShutdownCount(), 0);
}

// A lock nobody else holds.
class FreeLock final : public InstanceLock {
 public:
  bool Acquire() override { return true; }
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
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    hung = true;
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  watchdog.start(5000);
  FreeLock lock;
  EXPECT_EQ(app->InitInstance(lock, &boxes), 0);
  EXPECT_FALSE(hung);
  // The damaged channel file's box came after the signal and closed too; the settings were read
  // before they were written.
  const QByteArray config = [&] {
    QFile f(dataDir.filePath("config.dat"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  EXPECT_TRUE(config.contains("Tuner=0\r\n")) << config.toStdString();
  EXPECT_TRUE(config.contains("FrameRate=10\r\n"));
  EXPECT_TRUE(QFile::exists(dataDir.filePath("Channels.dat.bad")));
  EXPECT_EQ(power.ShutdownCount(), 0);
}

}  // namespace
}  // namespace kelmo::test
