#include "capture/qt/CapturePicture.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

namespace kelmo {

CapturePicture::CapturePicture(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CapturePicture::ShowFrame(const VideoFrame& frame) {
  QImage converted(frame.width, frame.height, QImage::Format_BGR888);
  if (frame.format == PixelFormat::Bgr24) {
    for (int y = 0; y < frame.height; ++y)
      std::memcpy(converted.scanLine(y), frame.data.data() + frame.Stride() * y, frame.Stride());
  } else {
    std::vector<uint8_t> bgr(RowBytes(frame.width, PixelFormat::Bgr24) * frame.height);
    YuyvToBgr(frame.data, bgr, frame.width, frame.height);
    const std::size_t stride = RowBytes(frame.width, PixelFormat::Bgr24);
    for (int y = 0; y < frame.height; ++y)
      std::memcpy(converted.scanLine(y), bgr.data() + stride * y, stride);
  }
  std::lock_guard lock(mutex);
  image = std::move(converted);
  if (updateQueued) return;
  updateQueued = true;
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

void CapturePicture::ClearPicture() {
  std::lock_guard lock(mutex);
  image = QImage();
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

QImage CapturePicture::CurrentImage() const {
  std::lock_guard lock(mutex);
  return image;
}

void CapturePicture::paintEvent(QPaintEvent*) {
  QImage shown;
  {
    std::lock_guard lock(mutex);
    shown = image;
    updateQueued = false;
  }
  QPainter painter(this);
  if (shown.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), shown);
  ++painted;
}

void CapturePicture::mousePressEvent(QMouseEvent* event) {
  clickEndedRecording = event->button() == Qt::RightButton && onRightClick && onRightClick();
  if (clickEndedRecording) {
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
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
