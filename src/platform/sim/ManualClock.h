#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

namespace kelmo {

// A clock that only moves when told to, or by the pauses asked of it: tests and fast simulations
// run the tuner's protocol without waiting. Local time is UTC, so tests do not depend on the
// machine's time zone.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(int64_t start = 0) : nowMs(start * 1000) {}

  int64_t Now() const override { return nowMs.load() / 1000; }
  LocalTime ToLocal(int64_t instant) const override;
  int64_t FromLocal(const LocalTime& local) const override;
  void Sleep(int milliseconds) override;

  void Advance(int64_t seconds) { nowMs += seconds * 1000; }
  void Set(int64_t instant) { nowMs = instant * 1000; }
  // Milliseconds of pauses asked for so far.
  int64_t SleptMilliseconds() const { return slept.load(); }

 private:
  std::atomic<int64_t> nowMs;
  std::atomic<int64_t> slept{0};
};

}  // namespace kelmo
