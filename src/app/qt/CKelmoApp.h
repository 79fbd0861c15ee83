#pragma once

#include <QObject>
#include <QPointer>

#include "app/KelmoContext.h"
#include "platform/InstanceLock.h"

namespace kelmo {

class CKelmoDlg;
class RecordingEngine;
class QtMessages;

// The application: one copy per user, the main window run as a modal dialog, and the typed
// characters routed to the main window's keyboard handler before any window sees them.
class CKelmoApp : public QObject {
  Q_OBJECT

 public:
  // Routes keys from the moment it exists (an application-wide event filter).
  explicit CKelmoApp(KelmoContext& ctx);
  ~CKelmoApp() override;

  // The whole program: options, single instance, the main window. Returns the exit code.
  static int Main(int argc, char** argv);

  // Runs the main window until it closes, then gives up the lock. Returns the exit code.
  int InitInstance(RecordingEngine& engine, InstanceLock& lock, QtMessages* messages);

  // Keys go to this window (the one InitInstance made, or one a test made).
  void SetMainWindow(CKelmoDlg* dlg);

  // SIGTERM, SIGINT, SIGHUP, SIGQUIT: closes open dialogs and message boxes first, then the main
  // window as its close box does. During start-up the boxes close (also those start-up opens
  // afterwards) and the window closes as soon as it has read its settings, without being shown.
  void CloseEverything();

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  bool PreTranslateMessage(QObject* receiver, QEvent* event);

  KelmoContext& ctx;
  QPointer<CKelmoDlg> mainWnd;
  bool closing = false;  // a terminating signal has come
};

}  // namespace kelmo
