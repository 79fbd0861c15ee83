#pragma once

#include "platform/DateFormat.h"

namespace kelmo {

// Qt's locale data for the user's locale (QLocale's default, the system's unless a test sets
// another): its short date form, with the year in full, as "07.12.2026" or "12/7/2026". Works
// whether or not the C library has the locale generated.
class QtDateFormat final : public DateFormat {
 public:
  std::string Date(const LocalTime& local) const override;
};

}  // namespace kelmo
