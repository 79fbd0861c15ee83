#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

namespace kelmo {

// A clock that only moves when told to, or by the pauses asked of it: tests and fast simulations
// run without waiting, and simulated devices deliver exactly what the time advanced holds. Local
// time is the C library's under the process's TZ, so a test chooses its time zone (a summer-time
// change included) by setting TZ.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(int64_t start = 0) : nowMs(start * 1000) {}

  int64_t Now() const override { return nowMs.load() / 1000; }
  int64_t MonotonicMilliseconds() const override { return monotonicMs.load(); }
  LocalTime ToLocal(int64_t instant) const override { return LocalTimeOf(instant); }
  int64_t FromLocal(const LocalTime& local) const override { return InstantOfLocalTime(local); }
  void Sleep(int milliseconds) override;

  // Moves both readings forward.
  void Advance(int64_t seconds) { AdvanceMilliseconds(seconds * 1000); }
  void AdvanceMilliseconds(int64_t milliseconds);
  // Sets the wall clock only, as a user setting the system time would: the monotonic reading
  // stays where it is.
  void Set(int64_t instant) { nowMs = instant * 1000; }
  // Milliseconds of pauses asked for so far.
  int64_t SleptMilliseconds() const { return slept.load(); }

 private:
  std::atomic<int64_t> nowMs;
  std::atomic<int64_t> monotonicMs{0};
  std::atomic<int64_t> slept{0};
};

}  // namespace kelmo
