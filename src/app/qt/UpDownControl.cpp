#include "app/qt/UpDownControl.h"

#include <QHBoxLayout>
#include <QKeyEvent>

namespace kelmo {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), left(new QToolButton(this)), right(new QToolButton(this)) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
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
