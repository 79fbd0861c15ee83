#pragma once

#include <string>

#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "platform/RecordingFile.h"

namespace kelmo {

// The name of a recording made at local time `now` into `saveDir` (which ends in '/'):
// "<saveDir>Kelmo.<day>_<hour>.<minute>.avi", with ".<second>" after the minute unless the seconds
// are 0; each number two digits. The name carries neither month nor year.
std::string FormatCaptureFileName(const std::string& saveDir, const LocalTime& now);

// Rebuilds capture.captureFileName from `saveDir` and the clock's current local time (made free
// as FreeCaptureFileName does) and hands it to the capture window, when there is one.
// User-interface thread.
void BuildCaptureFileName(CaptureDriver& capture, const std::string& saveDir, const Clock& clock);

}  // namespace kelmo
