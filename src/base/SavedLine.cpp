#include "base/SavedLine.h"

#include <cstdio>

namespace kelmo {
namespace {

std::string Length(uint64_t milliseconds) {
  const uint64_t s = milliseconds / 1000;
  char text[32];
  if (s >= 3600) {
    std::snprintf(
        text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(s / 3600),
        static_cast<unsigned long long>(s / 60 % 60), static_cast<unsigned long long>(s % 60));
  } else {
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                  static_cast<unsigned long long>(s % 60));
  }
  return text;
}

// Whole numbers and one decimal only: no locale can turn the point into a comma.
std::string Size(uint64_t bytes) {
  if (bytes < 1'000'000) return std::to_string((bytes + 500) / 1000) + " kB";
  const uint64_t tenths = (bytes + 50'000) / 100'000;
  if (tenths < 100) return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
  return std::to_string((bytes + 500'000) / 1'000'000) + " MB";
}

}  // namespace

std::string FormatSavedLine(const std::string& path, uint64_t milliseconds, uint64_t bytes,
                            std::optional<SavedFrames> frames) {
  const std::size_t slash = path.find_last_of('/');
  std::string line = "Saved " + (slash == std::string::npos ? path : path.substr(slash + 1)) +
                     " \u2014 " + Length(milliseconds) + ", " + Size(bytes);
  if (frames)
    line += ", " + std::to_string(frames->captured) + " frames (" +
            std::to_string(frames->dropped) + " dropped)";
  return line;
}

}  // namespace kelmo
