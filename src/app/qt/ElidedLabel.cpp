#include "app/qt/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace kelmo {
namespace {

QRect TextRect(const QLabel& label) {
  return label.contentsRect().adjusted(label.indent(), 0, -label.indent(), 0);
}

}  // namespace

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, TextRect(*this).width());
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);  // the sunken panel; the text is drawn here, shortened
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(TextRect(*this), static_cast<int>(alignment()), ShownText());
}

bool ElidedLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    const QString shown = ShownText();
    if (shown != text())
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QLabel::event(event);
}

}  // namespace kelmo
