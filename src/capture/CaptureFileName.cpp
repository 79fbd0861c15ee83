#include "capture/CaptureFileName.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kelmo {

namespace {

constexpr std::string_view kAvi = ".avi";

bool AnyRecordingExists(const std::string& stem) {
  for (const char* extension : {".avi", ".wav", ".wma"}) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(stem + extension, error)))
      return true;
  }
  return false;
}

}  // namespace

std::string FormatCaptureFileName(const std::string& saveDir, const LocalTime& now) {
  char part[32];
  if (now.second == 0)
    std::snprintf(part, sizeof part, "%02d_%02d.%02d", now.day, now.hour, now.minute);
  else
    std::snprintf(part, sizeof part, "%02d_%02d.%02d.%02d", now.day, now.hour, now.minute,
                  now.second);
  return saveDir + "Kelmo." + part + ".avi";
}

std::string FreeCaptureFileName(const std::string& name) {
  const std::string stem = name.substr(0, name.size() - kAvi.size());
  if (!AnyRecordingExists(stem)) return name;
  for (int n = 2;; ++n) {
    const std::string numbered = stem + "-" + std::to_string(n);
    if (!AnyRecordingExists(numbered)) return numbered + std::string(kAvi);
  }
}

void BuildCaptureFileName(CaptureDriver& capture, const std::string& saveDir, const Clock& clock) {
  capture.captureFileName =
      FreeCaptureFileName(FormatCaptureFileName(saveDir, clock.ToLocal(clock.Now())));
  if (CaptureWindow* window = capture.Window()) window->FileSetCaptureFile(capture.captureFileName);
}

}  // namespace kelmo
