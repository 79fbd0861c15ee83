#pragma once

#include <QWidget>

#include "base/UpDownPosition.h"

class QToolButton;

namespace kelmo {

// The channel spin's face: a pair of left/right arrows, and the arrow keys while it has the focus,
// each a click of the position it keeps.
class UpDownControl : public QWidget, public UpDownPosition {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QToolButton* left;
  QToolButton* right;
};

}  // namespace kelmo
