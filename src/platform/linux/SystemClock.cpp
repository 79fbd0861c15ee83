#include "platform/linux/SystemClock.h"

#include <chrono>
#include <thread>

namespace kelmo {

int64_t SystemClock::Now() const {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

int64_t SystemClock::MonotonicMilliseconds() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::ToLocal(int64_t instant) const { return LocalTimeOf(instant); }

int64_t SystemClock::FromLocal(const LocalTime& local) const { return InstantOfLocalTime(local); }

void SystemClock::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace kelmo
