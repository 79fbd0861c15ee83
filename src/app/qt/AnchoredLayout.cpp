#include "app/qt/AnchoredLayout.h"

#include <QWidget>
#include <QWidgetItem>

namespace kelmo {
namespace {

// One axis: start and length at the natural extent, placed in an extent `grown` larger.
std::pair<int, int> PlaceAxis(int start, int length, AnchoredLayout::Anchor anchor, int grown) {
  switch (anchor) {
    case AnchoredLayout::Anchor::Start:
      return {start, length};
    case AnchoredLayout::Anchor::End:
      return {start + grown, length};
    case AnchoredLayout::Anchor::Stretch:
      break;
  }
  return {start, length + grown};
}

}  // namespace

AnchoredLayout::AnchoredLayout(QWidget* parent, QSize naturalSize, QSize pictureSize)
    : QLayout(parent), naturalSize(naturalSize), pictureSize(pictureSize) {
  setContentsMargins(0, 0, 0, 0);
}

AnchoredLayout::~AnchoredLayout() {
  for (Item& i : items) delete i.item;
}

void AnchoredLayout::Add(QWidget* widget, QRect natural, Anchor horizontal, Anchor vertical) {
  addChildWidget(widget);
  items.push_back({new QWidgetItem(widget), natural, horizontal, vertical});
  invalidate();
}

void AnchoredLayout::AddPicture(QWidget* widget) {
  picture = widget;
  Add(widget, QRect(QPoint(0, 0), pictureSize), Anchor::Stretch, Anchor::Stretch);
}

void AnchoredLayout::SetPictureOnly(bool on) {
  pictureOnly = on;
  for (Item& i : items) {
    if (i.item->widget() != picture) i.item->widget()->setVisible(!on);
  }
  invalidate();
  if (QWidget* area = parentWidget()) area->updateGeometry();  // the window's minimum follows
}

QRect AnchoredLayout::Place(QRect natural, Anchor horizontal, Anchor vertical, QSize size) const {
  const auto [x, w] =
      PlaceAxis(natural.x(), natural.width(), horizontal, size.width() - naturalSize.width());
  const auto [y, h] =
      PlaceAxis(natural.y(), natural.height(), vertical, size.height() - naturalSize.height());
  return QRect(x, y, w, h);
}

void AnchoredLayout::addItem(QLayoutItem* item) {
  items.push_back({item, item->geometry(), Anchor::Start, Anchor::Start});
}

QLayoutItem* AnchoredLayout::itemAt(int index) const {
  return index >= 0 && index < count() ? items[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* AnchoredLayout::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = items[static_cast<std::size_t>(index)].item;
  items.erase(items.begin() + index);
  return item;
}

int AnchoredLayout::count() const { return static_cast<int>(items.size()); }

QSize AnchoredLayout::sizeHint() const { return minimumSize(); }

QSize AnchoredLayout::minimumSize() const { return pictureOnly ? pictureSize : naturalSize; }

void AnchoredLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  // Smaller than the natural size only in picture-only mode, where the picture alone shrinks.
  const QSize size = rect.size().expandedTo(pictureOnly ? QSize(1, 1) : naturalSize);
  for (Item& i : items) {
    QRect placed = pictureOnly && i.item->widget() == picture
                       ? QRect(QPoint(0, 0), size)
                       : Place(i.natural, i.horizontal, i.vertical, size);
    i.item->setGeometry(placed.translated(rect.topLeft()));
  }
}

}  // namespace kelmo
