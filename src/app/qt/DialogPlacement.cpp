#include "app/qt/DialogPlacement.h"

#include <QScreen>
#include <algorithm>

namespace kelmo {

void PlaceBeside(QWidget& dialog, const QWidget& owner) {
  const QScreen* screen = owner.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = owner.frameGeometry();
  dialog.adjustSize();
  const QSize size = dialog.frameGeometry().size().expandedTo(dialog.size());
  const int top =
      std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - size.height()));
  if (frame.right() + size.width() < area.right()) {
    dialog.move(frame.right() + 1, top);
  } else if (frame.left() - size.width() >= area.left()) {
    dialog.move(frame.left() - size.width(), top);
  }
}

}  // namespace kelmo
