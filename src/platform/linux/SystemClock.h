#pragma once

#include "platform/Clock.h"

namespace kelmo {

// The machine's clock and time zone.
class SystemClock final : public Clock {
 public:
  int64_t Now() const override;
  int64_t MonotonicMilliseconds() const override;
  LocalTime ToLocal(int64_t instant) const override;
  int64_t FromLocal(const LocalTime& local) const override;
  void Sleep(int milliseconds) override;
};

}  // namespace kelmo
