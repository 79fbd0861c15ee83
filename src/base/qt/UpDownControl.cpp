#include "base/qt/UpDownControl.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>

namespace kelmo {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), left(new QToolButton(this)), right(new QToolButton(this)) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);  // room for the focus frame
  layout->setSpacing(0);
  for (QToolButton* b : {left, right}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    b->setAutoRepeat(true);
    layout->addWidget(b);
  }
  left->setArrowType(Qt::LeftArrow);
  right->setArrowType(Qt::RightArrow);
  left->setObjectName("left");
  right->setObjectName("right");
  connect(left, &QToolButton::clicked, this, [this] { Click(-1); });
  connect(right, &QToolButton::clicked, this, [this] { Click(+1); });
}

bool UpDownControl::event(QEvent* event) {
  // With the focus here the arrow keys are the spin's, not the window's channel keys.
  if (event->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
      event->accept();
      return true;
    }
  }
  return QWidget::event(event);
}

void UpDownControl::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!hasFocus()) return;
  // The arrows take no focus themselves: the frame around them shows where the keys go.
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = rect();
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      Click(-1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      Click(+1);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace kelmo
