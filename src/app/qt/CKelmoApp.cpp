#include "app/qt/CKelmoApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/CommandLine.h"
#include "app/qt/CKelmoDlg.h"
#include "app/qt/Composition.h"
#include "app/qt/SignalPipe.h"
#include "base/Log.h"
#include "platform/linux/LargeBuffers.h"
#include "platform/qt/LocalInstanceLock.h"
#include "platform/qt/QtMessages.h"

// The icon lives in a static library, whose resources the linker keeps only when asked for.
static void InitResources() { Q_INIT_RESOURCE(kelmo); }

namespace kelmo {
namespace {

// Where both X11 and Wayland are offered, X11: staying on top and raising a window work there.
void PreferX11() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
  if (!qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

// One log line per port: which backend serves it.
void LogBackends(const std::string& backends) {
  std::size_t start = 0;
  while (start < backends.size()) {
    std::size_t end = backends.find('\n', start);
    if (end == std::string::npos) end = backends.size();
    if (end > start) LogInfo("app", "%s", backends.substr(start, end - start).c_str());
    start = end + 1;
  }
}

bool HasOption(int argc, char** argv, const char* option) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == option) return true;
  }
  return false;
}

}  // namespace

CKelmoApp::CKelmoApp(KelmoContext& ctx) : ctx(ctx) { qApp->installEventFilter(this); }

CKelmoApp::~CKelmoApp() { qApp->removeEventFilter(this); }

void CKelmoApp::SetMainWindow(CKelmoDlg* dlg) { mainWnd = dlg; }

int CKelmoApp::Main(int argc, char** argv) {
  // Before any thread starts: a day of recordings must not leave the heap larger.
  ReturnLargeBuffersToTheSystem();
  // --help and --version answer without a display.
  if (HasOption(argc, argv, "--help") || HasOption(argc, argv, "-h")) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (HasOption(argc, argv, "--version")) {
    const CommandLine options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    Composition composition(options);
    std::printf("Kelmo %s\n%s", KELMO_VERSION, composition.Backends().c_str());
    return 0;
  }
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::fputs("kelmo: no display to open the window on (DISPLAY is not set).\n", stderr);
    return 1;
  }
  PreferX11();
  QApplication app(argc, argv);  // takes Qt's own options off the list
  InitResources();
  QApplication::setApplicationName("kelmo");
  QApplication::setApplicationVersion(KELMO_VERSION);
  QApplication::setDesktopFileName("kelmo");
  QApplication::setWindowIcon(QIcon(":/kelmo/kelmo.png"));
  QStringList rest = QApplication::arguments();
  rest.removeFirst();
  std::vector<std::string> args;
  for (const QString& a : rest) args.push_back(a.toStdString());
  const CommandLine options = ParseCommandLine(args);
  if (!options.error.empty()) {
    std::fprintf(stderr, "kelmo: %s\n%s", options.error.c_str(), UsageText().c_str());
    return 2;
  }
  Composition composition(options);
  if (!composition.DataDirectoryProblem().empty()) {
    LogError("app", "%s", composition.DataDirectoryProblem().c_str());
    composition.Messages().Show(
        Message{composition.DataDirectoryProblem(), "Kelmo", MessageIcon::Error});
    return 1;
  }

  LocalInstanceLock lock(composition.Context().dataDir);
  const InstanceLockOutcome taken = lock.Acquire();
  // The running copy has shown itself: the second start ends silently.
  if (taken.state == InstanceLockOutcome::State::OtherCopy) return 0;
  if (taken.state == InstanceLockOutcome::State::Failed) {
    composition.Messages().Show(Message{taken.reason, "Kelmo", MessageIcon::Error});
    return 1;
  }

  CKelmoApp kelmo(composition.Context());
  SignalPipe signalPipe;
  QObject::connect(&signalPipe, &SignalPipe::terminate, &kelmo, &CKelmoApp::CloseEverything);
  return kelmo.InitInstance(composition.Engine(), lock, &composition.Messages());
}

int CKelmoApp::InitInstance(RecordingEngine& engine, InstanceLock& lock, QtMessages* messages) {
  LogInfo("app", "Kelmo %s starting", KELMO_VERSION);
  CKelmoDlg dlg(ctx, engine);
  LogBackends(ctx.backends);
  SetMainWindow(&dlg);
  if (messages) messages->SetOwner(&dlg);
  lock.OnRaiseRequest([&dlg] {
    LogInfo("app", "a second start asked to show this window");
    dlg.showNormal();
    dlg.raise();
    dlg.activateWindow();
  });
  // A signal that came while start-up showed a box ends the program now that the window has read
  // its settings: the usual destruction saves them.
  if (closing) {
    dlg.done(0);
  } else {
    dlg.exec();
  }
  SetMainWindow(nullptr);  // no key may reach the window while it is being destroyed
  lock.OnRaiseRequest({});
  lock.Release();
  LogInfo("app", "Kelmo ended");
  // A script that ends the program learns that the changes of this run were lost.
  return dlg.SettingsSaved() ? 0 : 1;
}

void CKelmoApp::CloseEverything() {
  closing = true;
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog != mainWnd && dialog->isVisible()) dialog->reject();
  }
  // The nested loops of those dialogs unwind first; then the window closes as by its close box.
  QTimer::singleShot(0, this, [this] {
    if (mainWnd) mainWnd->CloseAsCloseBox();
  });
}

bool CKelmoApp::eventFilter(QObject* receiver, QEvent* event) {
  // Once closing, a box that start-up (or the destruction) still opens closes at once.
  if (closing && event->type() == QEvent::Show) {
    auto* dialog = qobject_cast<QDialog*>(receiver);
    if (dialog && dialog != mainWnd) QTimer::singleShot(0, dialog, &QDialog::reject);
  }
  if (PreTranslateMessage(receiver, event)) return true;
  return QObject::eventFilter(receiver, event);
}

bool CKelmoApp::PreTranslateMessage(QObject* receiver, QEvent* event) {
  if (!mainWnd || !receiver->isWidgetType()) return false;
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);

  if (QApplication::activePopupWidget() || QApplication::activeWindow() != mainWnd) return false;

  // A typed character acts once, at its first receiver; it is consumed only when the handler used
  // it.
  if (type != QEvent::KeyPress) return false;
  QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : mainWnd.data();
  if (receiver != first) return false;
  if (mainWnd->Viewer().HandleKeypad(*key)) return true;
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key->text();
  if (text.isEmpty() || !text.at(0).isPrint()) return false;
  return mainWnd->HandleKeyChar(text.toUcs4().value(0));
}

}  // namespace kelmo
