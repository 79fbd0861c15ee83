#include "platform/qt/DialogTitle.h"

#include <QFontMetrics>
#include <QLayout>
#include <algorithm>

namespace kelmo {
namespace {

constexpr int kTitleBarRoom = 140;  // icon, minimise, close and the frame's margins

}  // namespace

void FitDialogToTitle(QDialog& dialog) {
  QLayout* layout = dialog.layout();
  if (layout == nullptr) return;
  QFont bold = dialog.font();
  bold.setBold(true);
  bold.setPointSizeF(std::max(bold.pointSizeF(), 10.0));  // title bars are not smaller than this
  const int title = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + kTitleBarRoom;
  const QSize contents = layout->totalSizeHint();
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  dialog.setFixedSize(std::max(contents.width(), title), contents.height());
}

}  // namespace kelmo
