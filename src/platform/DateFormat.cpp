#include "platform/DateFormat.h"

#include <ctime>

namespace kelmo {

std::string CLibraryDateFormat::Date(const LocalTime& local) const {
  const std::tm tm = TmOfLocalTime(local);
  char text[128];
  const std::size_t n = std::strftime(text, sizeof text, "%x", &tm);
  return std::string(text, n);
}

}  // namespace kelmo
