#include "capture/CaptureDriver.h"

namespace kelmo {

void CaptureDriver::QueryCaptureStatus() {
  captureStatus = captureWindow ? captureWindow->GetStatus() : CaptureStatus{};
}

}  // namespace kelmo
