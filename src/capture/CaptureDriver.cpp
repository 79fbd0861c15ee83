#include "capture/CaptureDriver.h"

namespace kelmo {

void CaptureDriver::QueryCaptureStatus() {
  captureStatus = captureWindow ? captureWindow->GetStatus() : CaptureStatus{};
}

void CaptureDriver::SetDefaultAviAudioFormat() {
  aviAudioFormat = AviAudioFormat{};
  if (captureWindow) captureWindow->SetAudioFormat(aviAudioFormat.format.ToBytes());
  aviAudioFormatSet = 1;
}

}  // namespace kelmo
