#pragma once

#include <cstdint>
#include <string>

#include "capture/AviAudioFormat.h"
#include "capture/CaptureWindow.h"

namespace kelmo {

// The capture window and its connected driver, as the rest of the program sees them. Every message
// is sent only while the window exists; a skipped message counts as result 0.
class CaptureDriver {
 public:
  // The window the program created, or null when it could not be created. Not owned.
  void SetWindow(CaptureWindow* window) { captureWindow = window; }
  CaptureWindow* Window() const { return captureWindow; }

  // Refreshes captureStatus from the window (all zero without one).
  void QueryCaptureStatus();

  // A streaming capture runs, as of the last QueryCaptureStatus.
  bool CapturingNow() const { return captureStatus.fCapturingNow; }

  CaptureStatus captureStatus;

  // The video format was set successfully (by the format dialog or from the settings).
  int32_t videoFormatSet = 0;
  // PCM, 22050 samples a second, mono, 16 bits, named "PCM" and given to the window; the AVI
  // sound format counts as set (also without a window). User-interface thread.
  void SetDefaultAviAudioFormat();

  // The AVI sound format was set (the default at card start-up, the chooser, or the settings).
  int32_t aviAudioFormatSet = 0;
  AviAudioFormat aviAudioFormat;
  // The file the next AVI recording writes; the sound writers take it with their own extension.
  std::string captureFileName;

 private:
  CaptureWindow* captureWindow = nullptr;
};

}  // namespace kelmo
