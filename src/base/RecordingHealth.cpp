#include "base/RecordingHealth.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <array>
#include <cstdio>
#include <cstdlib>

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

std::string Duration(int64_t seconds) {
  const int64_t s = seconds < 0 ? 0 : seconds;
  char time[32];
  std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  return time;
}

}  // namespace

std::string FormatBytes(uint64_t bytes) { return Size(bytes); }

std::string RecordingStoppedText(const std::string& path, bool diskFull, const std::string& reason,
                                 int64_t secondsKept, uint64_t bytesKept,
                                 std::optional<uint64_t> freeBytes) {
  const std::size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  std::string text = diskFull ? "The disk is full: the recording has stopped.\n"
                              : "The recording has stopped: " + reason + ".\n";
  text += path + " keeps " + Duration(secondsKept) + " (" + Size(bytesKept) + ")";
  if (diskFull && freeBytes) text += "; " + folder + " has " + Size(*freeBytes) + " free";
  return text + ".";
}

std::string FormatRecordingHealth(int64_t secondsRecorded, uint64_t fileBytes,
                                  std::optional<uint64_t> freeBytes) {
  std::string text = "REC " + Duration(secondsRecorded) + "  " + Size(fileBytes);
  if (freeBytes) text += "  " + Size(*freeBytes) + " free";
  return text;
}

uint64_t AviReserveBytes(uint64_t chunks, uint64_t bytesPerSecond) {
  constexpr uint64_t kIndexEntry = 16 + 8;  // the legacy entry and an OpenDML one, to be safe
  constexpr uint64_t kClosing = 64 * 1024;  // the last chunks the encoder holds, the part ends
  return chunks * kIndexEntry + 2 * bytesPerSecond + kClosing;
}

std::optional<uint64_t> FreeDiskBytes(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  const uint64_t free = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  const auto simulated = SimulatedDiskBytes();
  return simulated && *simulated < free ? *simulated : free;
}

std::optional<uint64_t> SimulatedDiskBytes() {
  const char* text = std::getenv("KELMO_SIM_DISK_FULL_AFTER");
  if (text == nullptr || *text == '\0') return std::nullopt;
  char* stop = nullptr;
  const unsigned long long bytes = std::strtoull(text, &stop, 10);
  return *stop == '\0' ? std::optional<uint64_t>(bytes) : std::nullopt;
}

uint64_t FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

}  // namespace kelmo
