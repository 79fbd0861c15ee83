#pragma once

#include <QLayout>
#include <QRect>
#include <vector>

namespace kelmo {

// The main window's layout: every control keeps the place it has in the dialog's natural size,
// measured from the edge it is anchored to, so that when the window grows the picture fills the
// new space, the column of buttons stays at the right edge and the status fields at the bottom.
// In picture-only mode (small view, full screen) the controls are hidden and the picture takes the
// whole area.
class AnchoredLayout final : public QLayout {
 public:
  enum class Anchor { Start, End, Stretch };  // left/top edge, right/bottom edge, both

  AnchoredLayout(QWidget* parent, QSize naturalSize, QSize pictureSize);
  ~AnchoredLayout() override;

  // `natural` is the widget's place at the natural size.
  void Add(QWidget* widget, QRect natural, Anchor horizontal, Anchor vertical);
  // The picture: stretches both ways; alone in picture-only mode.
  void AddPicture(QWidget* picture);
  void SetPictureOnly(bool on);
  bool PictureOnly() const { return pictureOnly; }

  // Where `natural` goes in an area of `size`.
  QRect Place(QRect natural, Anchor horizontal, Anchor vertical, QSize size) const;

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  struct Item {
    QLayoutItem* item;
    QRect natural;
    Anchor horizontal;
    Anchor vertical;
  };
  std::vector<Item> items;
  QWidget* picture = nullptr;
  QSize naturalSize;
  QSize pictureSize;
  bool pictureOnly = false;
};

}  // namespace kelmo
