#pragma once

#include <functional>

#include "base/SpinControl.h"

namespace kelmo {

// What an up-down control without a buddy field keeps: a 16-bit range and a position held within
// it. Each click first reports its delta to the handler; when the handler returns 0 the position
// moves by the delta as it then stands, wrapping from one end of the range to the other. The
// window's arrows are drawn by UpDownControl; this is the part the channel logic relies on.
// User-interface thread.
class UpDownPosition : public SpinControl {
 public:
  // The position is not moved into a new range; the next SetPos or click keeps it there.
  void SetRange(int lower, int upper) override;
  // A position outside the range is held to its nearer end.
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

 private:
  int lower = 0;
  int upper = 0;
  int pos = 0;
  std::function<int(int)> handler;
};

}  // namespace kelmo
