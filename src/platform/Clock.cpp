#include "platform/Clock.h"

#include <ctime>

namespace kelmo {

LocalTime LocalTimeOf(int64_t instant) {
  const std::time_t t = static_cast<std::time_t>(instant);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return LocalTime{};
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::tm TmOfLocalTime(const LocalTime& local) {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_wday = local.weekday;
  return tm;
}

int64_t InstantOfLocalTime(const LocalTime& local) {
  std::tm tm = TmOfLocalTime(local);
  tm.tm_isdst = -1;  // let the C library decide whether summer time applies
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? -1 : static_cast<int64_t>(t);
}

}  // namespace kelmo
