#pragma once

namespace kelmo {

// An up-down control with no buddy field, as the channel logic sees it: the main window's channel
// spin, and the channel dialogs' frequency arrows. Range and position are 16-bit values.
// User-interface thread.
class SpinControl {
 public:
  virtual ~SpinControl() = default;
  virtual int Pos() const = 0;
  virtual int Lower() const = 0;
  virtual int Upper() const = 0;
  virtual void SetPos(int pos) = 0;
  virtual void SetRange(int lower, int upper) = 0;
};

}  // namespace kelmo
