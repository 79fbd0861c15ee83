#pragma once

#include <QImage>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

#include "capture/Deinterlacer.h"
#include "capture/PictureView.h"

namespace kelmo {

// The main window's picture area: shows the capture window's frames at the largest size of their
// shape that fits (4:3 for a card's picture), with black bars around, black while there is none.
// Frames come from the grabber thread, which converts (and, for a full-height capture,
// deinterlaces) each into the back buffer; the user-interface thread paints the front one, scaled
// once per paint.
class CapturePicture final : public QWidget, public PictureView {
  Q_OBJECT

 public:
  explicit CapturePicture(QWidget* parent = nullptr);

  // Any thread.
  void ShowFrame(const VideoFrame& frame) override;
  void ClearPicture() override;

  // The live picture's deinterlacer (kept by the caller) and whether full-height captures go
  // through it. User-interface thread; takes effect from the next frame.
  void SetDeinterlacer(Deinterlacer* filter) { deinterlacer = filter; }
  void SetDeinterlacing(bool on) { deinterlace = on; }

  // A right mouse click in the picture: true when it was used (it ended a recording); otherwise
  // the click goes on to the window (its command menu).
  std::function<bool()> onRightClick;
  // Draws over the picture after each paint (the on-screen display); `shown` is where the picture
  // is, inside the widget.
  std::function<void(QPainter& painter, const QRect& shown)> paintOverlay;
  // After each painted frame: how long it took from the frame's arrival to its paint.
  std::function<void(std::chrono::microseconds latency)> onPainted;

  // Frames painted so far; for tests.
  int PaintedFrames() const { return painted.load(); }
  QImage CurrentImage() const;
  // Where the picture is painted now, inside the widget.
  QRect PictureRect() const;

 signals:
  void doubleClicked();
  // Wheel turned over the picture: +1 a notch away from the user, -1 towards.
  void wheelTurned(int notches);
  void mouseMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Converts `frame` into `back` (reallocated only when the size changes).
  void Convert(const VideoFrame& frame);

  using Instant = std::chrono::steady_clock::time_point;

  Deinterlacer* deinterlacer = nullptr;
  std::atomic<bool> deinterlace{false};
  std::atomic<bool> restartFilter{false};
  VideoFrame woven;  // the deinterlacer's output; grabber thread
  QImage back;       // being filled; grabber thread
  mutable std::mutex mutex;
  QImage image;               // the newest frame; null: black
  Instant arrived;            // when `image`'s frame came from the source
  bool updateQueued = false;  // an update is on its way to the user-interface thread
  std::atomic<int> painted{0};
  int wheelAngle = 0;                // eighths of a degree not yet turned into notches
  bool clickEndedRecording = false;  // the click's context menu is not shown then
};

}  // namespace kelmo
