#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

#include "app/ChannelControls.h"
#include "app/KelmoContext.h"
#include "app/OnScreenDisplay.h"
#include "app/ViewerKeys.h"
#include "app/qt/AnchoredLayout.h"
#include "capture/qt/CapturePicture.h"

class QDialog;
class QKeyEvent;
class QMenu;
class QMenuBar;

namespace kelmo {

// The main window as a TV set: the View menu with its keys (full screen, deinterlacing, channel
// up and down, back, mute, volume), the wheel and the double click on the picture, full screen
// with the pointer hidden when idle, and the on-screen display drawn over the picture.
// User-interface thread.
class ViewerControls : public QObject {
  Q_OBJECT

 public:
  struct Window {
    QDialog& dialog;
    QMenuBar& menuBar;
    AnchoredLayout& layout;
    CapturePicture& picture;
    std::function<void()> onMute;       // the Mute button's handler
    std::function<bool()> isRecording;  // a recording of either kind runs
  };
  static constexpr int kPointerIdleMs = 2000;

  ViewerControls(KelmoContext& ctx, ChannelControls& channels, Window window);

  void Run(ViewerCommand command);
  // The keypad's + and - as a key press: on X11 Qt does not match them to the menu's shortcuts,
  // and they must not reach the typed channel keys. True when used.
  bool HandleKeypad(const QKeyEvent& key);
  QAction* Action(ViewerCommand command) const { return actions.at(command); }

  bool FullScreen() const { return fullScreen; }
  void SetFullScreen(bool on);
  // Escape: full screen ends (the window's own Escape handling goes on after this).
  void LeaveFullScreen() { SetFullScreen(false); }

  // The channel line changed: the display shows the channel now current.
  void ChannelShown(const QString& line);
  // What the display shows now; for tests.
  OnScreenDisplay::Frame Osd() const;

 private:
  void BuildMenu();
  void SetDeinterlace(bool on);
  void StepVolume(int delta);
  void Poll();
  void PaintOsd(QPainter& painter, const QRect& shown) const;
  void PointerMoved();
  int64_t Now() const { return ctx.clock.MonotonicMilliseconds(); }

  KelmoContext& ctx;
  ChannelControls& channels;
  Window window;
  QMenu* menu = nullptr;
  std::map<ViewerCommand, QAction*> actions;
  OnScreenDisplay osd;
  QTimer poll;         // follows the mute flag and the recording, and ends the display
  QTimer pointerIdle;  // hides the pointer in full screen
  bool fullScreen = false;
  bool wasMaximized = false;
  QRect normalGeometry;
  bool lastMuted = false;
  bool lastRecording = false;
  bool osdShowing = false;
  QString lastLine;  // the channel line as last shown
};

}  // namespace kelmo
