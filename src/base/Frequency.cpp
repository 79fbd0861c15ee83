#include "base/Frequency.h"

#include <charconv>
#include <cstddef>

namespace kelmo {

double ParseFrequency(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  double value = 0;
  // from_chars takes no '+' and no leading blanks, and is locale-free.
  auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (end == first) return 0;
  if (ec == std::errc::result_out_of_range) return 0;
  return negative ? -value : value;
}

std::string FormatFrequency(double mhz) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, mhz, std::chars_format::fixed, 2);
  if (ec != std::errc()) return "0.00";
  return std::string(buffer, end);
}

}  // namespace kelmo
