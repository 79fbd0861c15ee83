#pragma once

#include <cstdint>
#include <ctime>

namespace kelmo {

// Broken-down local time, as the clock field and the schedule show it.
struct LocalTime {
  int year = 1970;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..60
  int weekday = 4;  // 0 = Sunday
};

// The time source and the pauses of the whole program. Instants are 64-bit seconds since
// 1970-01-01 00:00 UTC, so nothing overflows in 2038.
class Clock {
 public:
  virtual ~Clock() = default;

  // Any thread. The current instant in whole seconds. Never fails.
  virtual int64_t Now() const = 0;

  // Any thread. Milliseconds on a monotonic scale with an arbitrary origin: it never goes back,
  // whatever happens to the wall clock, so devices pace themselves and measure spans with it.
  virtual int64_t MonotonicMilliseconds() const = 0;

  // Any thread. The local calendar time of an instant in the process's time zone (TZ). Never
  // fails; an instant the C library cannot convert gives the epoch.
  virtual LocalTime ToLocal(int64_t instant) const = 0;

  // Any thread. The instant of a local calendar time (the inverse of ToLocal; out-of-range fields
  // carry over as mktime carries them, and the C library decides whether summer time applies); -1
  // when the fields name no time.
  virtual int64_t FromLocal(const LocalTime& local) const = 0;

  // Calling thread. Blocks for about `milliseconds` (the tuner's protocol pauses, the card's
  // shut-down pause). A manual clock advances instead of blocking.
  virtual void Sleep(int milliseconds) = 0;
};

// The C library's conversions under the process's TZ, which both clocks use.
LocalTime LocalTimeOf(int64_t instant);
int64_t InstantOfLocalTime(const LocalTime& local);
// The C library's broken-down form of a local time, for strftime and mktime.
std::tm TmOfLocalTime(const LocalTime& local);

}  // namespace kelmo
