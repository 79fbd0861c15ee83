#pragma once

#include <string>

#include "platform/Clock.h"

namespace kelmo {

// How the user's locale writes a calendar date, for the texts that show one (a recording
// program's line). The desktop's locale data serves in the program; the C library's where there
// is no desktop. Any thread.
class DateFormat {
 public:
  virtual ~DateFormat() = default;

  // The year, month and day of `local` in the locale's short date form, UTF-8.
  virtual std::string Date(const LocalTime& local) const = 0;
};

// The C library's: strftime "%x" under the process's LC_TIME.
class CLibraryDateFormat final : public DateFormat {
 public:
  std::string Date(const LocalTime& local) const override;
};

}  // namespace kelmo
