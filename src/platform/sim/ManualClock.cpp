#include "platform/sim/ManualClock.h"

namespace kelmo {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

LocalTime ManualClock::ToLocal(int64_t instant) const {
  int64_t days = instant / 86400;
  int64_t secs = instant % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  LocalTime t;
  t.hour = static_cast<int>(secs / 3600);
  t.minute = static_cast<int>(secs / 60 % 60);
  t.second = static_cast<int>(secs % 60);
  t.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
  return t;
}

int64_t ManualClock::FromLocal(const LocalTime& local) const {
  if (local.month < 1 || local.month > 12 || local.day < 1 || local.day > 31) return -1;
  return DaysFromCivil(local.year, local.month, local.day) * 86400 + local.hour * 3600 +
         local.minute * 60 + local.second;
}

void ManualClock::Sleep(int milliseconds) {
  if (milliseconds <= 0) return;
  slept += milliseconds;
  nowMs += milliseconds;
}

}  // namespace kelmo
