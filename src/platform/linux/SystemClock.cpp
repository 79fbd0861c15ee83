#include "platform/linux/SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace kelmo {

int64_t SystemClock::Now() const {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::ToLocal(int64_t instant) const {
  const std::time_t t = static_cast<std::time_t>(instant);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return LocalTime{};
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

int64_t SystemClock::FromLocal(const LocalTime& local) const {
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;  // let the C library decide whether summer time applies
  const std::time_t t = std::mktime(&tm);
  return t == static_cast<std::time_t>(-1) ? -1 : static_cast<int64_t>(t);
}

void SystemClock::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace kelmo
