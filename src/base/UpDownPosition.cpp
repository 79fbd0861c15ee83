#include "base/UpDownPosition.h"

#include <cstdint>

namespace kelmo {

namespace {

int To16(int value) { return static_cast<int16_t>(value); }

}  // namespace

void UpDownPosition::SetRange(int lower, int upper) {
  this->lower = To16(lower);
  this->upper = To16(upper);
}

void UpDownPosition::SetPos(int value) {
  value = To16(value);
  // An empty list gives the range 0 .. -1: the lower end wins, so the position stays 0.
  if (value > upper) value = upper;
  if (value < lower) value = lower;
  pos = value;
}

void UpDownPosition::Click(int delta) {
  if (handler && handler(delta) != 0) return;
  int next = pos + delta;
  if (next > upper) next = lower;
  if (next < lower) next = upper;
  pos = To16(next);
}

}  // namespace kelmo
