#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <functional>
#include <mutex>

#include "capture/PictureView.h"

namespace kelmo {

// The main window's picture area: shows the capture window's frames scaled to its size, black
// while there is none. Frames come from the grabber thread; the newest one is kept and painted on
// the user-interface thread.
class CapturePicture final : public QWidget, public PictureView {
  Q_OBJECT

 public:
  explicit CapturePicture(QWidget* parent = nullptr);

  // Any thread.
  void ShowFrame(const VideoFrame& frame) override;
  void ClearPicture() override;

  // A right mouse click in the picture: true when it was used (it ended a recording); otherwise
  // the click goes on to the window (its command menu).
  std::function<bool()> onRightClick;

  // Frames painted so far; for tests.
  int PaintedFrames() const { return painted.load(); }
  QImage CurrentImage() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  mutable std::mutex mutex;
  QImage image;               // the newest frame, converted; null: black
  bool updateQueued = false;  // an update is on its way to the user-interface thread
  std::atomic<int> painted{0};
  bool clickEndedRecording = false;  // the click's context menu is not shown then
};

}  // namespace kelmo
