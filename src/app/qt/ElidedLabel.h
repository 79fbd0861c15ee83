#pragma once

#include <QLabel>

namespace kelmo {

// A one-line status field whose text can be longer than the field: it shows what fits, ending in
// "…", and the whole text as its tooltip. text() and the screen reader keep the whole text, so a
// scheduled program's channel or a long file name is never lost, only shortened on screen.
class ElidedLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  // The text as it is painted at the field's present width.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

}  // namespace kelmo
