#include "capture/CaptureFileName.h"

#include <cstdio>

namespace kelmo {

std::string FormatCaptureFileName(const std::string& saveDir, const LocalTime& now) {
  char part[32];
  if (now.second == 0)
    std::snprintf(part, sizeof part, "%02d_%02d.%02d", now.day, now.hour, now.minute);
  else
    std::snprintf(part, sizeof part, "%02d_%02d.%02d.%02d", now.day, now.hour, now.minute,
                  now.second);
  return saveDir + "Kelmo." + part + ".avi";
}

void BuildCaptureFileName(CaptureDriver& capture, const std::string& saveDir, const Clock& clock) {
  capture.captureFileName =
      FreeCaptureFileName(FormatCaptureFileName(saveDir, clock.ToLocal(clock.Now())));
  if (CaptureWindow* window = capture.Window()) window->FileSetCaptureFile(capture.captureFileName);
}

}  // namespace kelmo
