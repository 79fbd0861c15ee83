#include "capture/qt/CapturePicture.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstring>
#include <utility>

#include "capture/PictureFit.h"

namespace kelmo {
namespace {

constexpr int kWheelNotch = 120;  // eighths of a degree in one notch of a mouse wheel

}  // namespace

CapturePicture::CapturePicture(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);  // the pointer shows again when moved in full screen
}

void CapturePicture::Convert(const VideoFrame& frame) {
  if (back.width() != frame.width || back.height() != frame.height)
    back = QImage(frame.width, frame.height, QImage::Format_BGR888);
  const std::size_t row = RowBytes(frame.width, PixelFormat::Bgr24);
  if (frame.format == PixelFormat::Bgr24) {
    for (int y = 0; y < frame.height; ++y)
      std::memcpy(back.scanLine(y), frame.data.data() + row * static_cast<std::size_t>(y), row);
    return;
  }
  // One row at a time straight into the image: its rows may be padded.
  const std::size_t yuyvRow = RowBytes(frame.width, PixelFormat::Yuyv);
  for (int y = 0; y < frame.height; ++y) {
    YuyvToBgr(std::span(frame.data).subspan(yuyvRow * static_cast<std::size_t>(y), yuyvRow),
              std::span(back.scanLine(y), row), frame.width, 1);
  }
}

void CapturePicture::ShowFrame(const VideoFrame& frame) {
  const Instant captured = std::chrono::steady_clock::now();
  const bool weave = deinterlace && deinterlacer != nullptr && IsFullHeightCapture(frame.height);
  if (weave) {
    if (restartFilter.exchange(false)) deinterlacer->Reset();
    if (deinterlacer->Process(frame, woven)) {
      Convert(woven);
    } else if (!deinterlacer->Failed()) {
      return;
    } else {
      Convert(frame);
    }
  } else {
    Convert(frame);
  }
  std::lock_guard lock(mutex);
  std::swap(image, back);  // `back` is now the older picture, overwritten next time
  arrived = captured;
  if (updateQueued) return;
  updateQueued = true;
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

void CapturePicture::ClearPicture() {
  std::lock_guard lock(mutex);
  image = QImage();
  // A stream that starts again starts the deinterlacer afresh (on the grabber thread, its own).
  restartFilter = true;
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

QImage CapturePicture::CurrentImage() const {
  std::lock_guard lock(mutex);
  return image.copy();
}

QRect CapturePicture::PictureRect() const {
  QSize size;
  {
    std::lock_guard lock(mutex);
    size = image.size();
  }
  if (size.isEmpty()) size = QSize(4, 3);
  const kelmo::PictureRect r = FitPicture(size.width(), size.height(), width(), height());
  return QRect(r.x, r.y, r.width, r.height);
}

void CapturePicture::paintEvent(QPaintEvent*) {
  QImage shown;
  Instant when;
  {
    std::lock_guard lock(mutex);
    shown = image;
    when = arrived;
    updateQueued = false;
  }
  QPainter painter(this);
  const QRect target = PictureRect();
  if (shown.isNull()) {
    painter.fillRect(rect(), Qt::black);
  } else {
    // Only the bars are filled: the picture covers the rest.
    const QRegion bars = QRegion(rect()).subtracted(target);
    for (const QRect& r : bars) painter.fillRect(r, Qt::black);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, shown);
  }
  if (paintOverlay) paintOverlay(painter, target);
  if (shown.isNull()) return;
  ++painted;
  if (onPainted) {
    onPainted(std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - when));
  }
}

void CapturePicture::mousePressEvent(QMouseEvent* event) {
  clickEndedRecording = event->button() == Qt::RightButton && onRightClick && onRightClick();
  if (clickEndedRecording) {
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void CapturePicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  event->accept();
  emit doubleClicked();
}

void CapturePicture::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved();
  QWidget::mouseMoveEvent(event);
}

void CapturePicture::wheelEvent(QWheelEvent* event) {
  // Fine-grained wheels and touch pads send parts of a notch: a channel per whole notch.
  wheelAngle += event->angleDelta().y();
  const int notches = wheelAngle / kWheelNotch;
  wheelAngle -= notches * kWheelNotch;
  if (notches != 0) emit wheelTurned(notches);
  event->accept();
}

void CapturePicture::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse && clickEndedRecording) {
    clickEndedRecording = false;
    event->accept();
    return;
  }
  event->ignore();  // the main window's command menu
}

}  // namespace kelmo
