#pragma once

#include <QToolButton>
#include <QWidget>
#include <functional>

#include "app/ChannelControls.h"

namespace kelmo {

// A pair of left/right arrows with a position in a range, without a buddy field. Each click (or
// arrow key while focused) first reports its delta to the handler; when the handler returns 0 the
// control adds the delta to its position as it then stands, wrapping within the range.
class UpDownControl : public QWidget, public SpinControl {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);

  // Range and position are 16-bit values, as the control keeps them.
  void SetRange(int lower, int upper) override;
  void SetPos(int pos) override;
  int Pos() const override { return pos; }
  int Lower() const override { return lower; }
  int Upper() const override { return upper; }

  // Sees (delta) before the control moves; a nonzero result leaves the position alone.
  void SetDeltaPosHandler(std::function<int(int delta)> handler) {
    this->handler = std::move(handler);
  }

  // One click: -1 left arrow, +1 right arrow.
  void Click(int delta);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  static int To16(int value) { return static_cast<int16_t>(value); }

  QToolButton* left;
  QToolButton* right;
  int lower = 0;
  int upper = 0;
  int pos = 0;
  std::function<int(int)> handler;
};

}  // namespace kelmo
