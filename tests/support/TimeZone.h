#pragma once

#include <stdlib.h>

#include <clocale>
#include <ctime>
#include <optional>
#include <string>

namespace kelmo::test {

// Sets the process's time zone (TZ) for the life of the object and puts the old one back, so a
// test that reads local time does not depend on the machine's zone.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = ::getenv("TZ")) previous = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous)
      ::setenv("TZ", previous->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous;
};

// Sets the C library's LC_TIME (dates as "%x" shows them) for the life of the object. Ok() is
// false when the machine lacks that locale.
class ScopedTimeLocale {
 public:
  explicit ScopedTimeLocale(const char* name) {
    previous = std::setlocale(LC_TIME, nullptr);
    ok = std::setlocale(LC_TIME, name) != nullptr;
  }
  ~ScopedTimeLocale() { std::setlocale(LC_TIME, previous.c_str()); }
  ScopedTimeLocale(const ScopedTimeLocale&) = delete;
  ScopedTimeLocale& operator=(const ScopedTimeLocale&) = delete;

  bool Ok() const { return ok; }

 private:
  std::string previous;
  bool ok = false;
};

}  // namespace kelmo::test
