#include "base/RecordingHealth.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <array>
#include <cstdio>

namespace kelmo {

namespace {

// "812 KB", "1.4 MB", "12.3 GB": decimal units, as file managers show sizes.
std::string Size(uint64_t bytes) {
  static constexpr std::array<const char*, 4> kUnits{"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1000;
  std::size_t unit = 0;
  while (value >= 1000 && unit + 1 < kUnits.size()) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  // Whole numbers below ten would read as bare digits: one decimal there. Numbers are formatted
  // without the locale's separators by hand, so "1.4" stays "1.4" under any locale.
  const auto tenths = static_cast<long long>(value * 10 + 0.5);
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%lld %s", (tenths + 5) / 10, kUnits[unit]);
  } else {
    std::snprintf(text, sizeof text, "%lld.%lld %s", tenths / 10, tenths % 10, kUnits[unit]);
  }
  return text;
}

}  // namespace

std::string FormatRecordingHealth(int64_t secondsRecorded, uint64_t fileBytes,
                                  std::optional<uint64_t> freeBytes) {
  const int64_t s = secondsRecorded < 0 ? 0 : secondsRecorded;
  char time[32];
  std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  std::string text = std::string("REC ") + time + "  " + Size(fileBytes);
  if (freeBytes) text += "  " + Size(*freeBytes) + " free";
  return text;
}

std::optional<uint64_t> FreeDiskBytes(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
}

uint64_t FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

}  // namespace kelmo
