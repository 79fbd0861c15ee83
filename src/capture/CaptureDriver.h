#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/AudioCodecManager.h"
#include "base/AppState.h"
#include "capture/AviAudioFormat.h"
#include "capture/CaptureWindow.h"
#include "capture/VideoSource.h"
#include "platform/Messages.h"

namespace kelmo {

// One capture driver as the Choose Driver dialog lists it.
struct CaptureDriverEntry {
  std::string name;     // at most 159 bytes
  std::string version;  // at most 79 bytes
};

inline constexpr int kMaxCaptureDrivers = 10;

// The driver list's stand-in for the platform's driver descriptions: true while a source exists
// at `index` of `entries`, with its name and version cut to their fields' sizes.
bool GetDriverDescription(const std::vector<VideoSourceCatalog::Entry>& entries, int index,
                          std::string& name, std::string& version);

// The capture window and its connected driver, as the rest of the program sees them. Every message
// is sent only while the window exists; a skipped message counts as result 0. User-interface
// thread, except what the capture status callback reads.
class CaptureDriver {
 public:
  // The window the program created, or null when it could not be created, and the sources it can
  // connect. Not owned.
  void SetWindow(CaptureWindow* window) { captureWindow = window; }
  CaptureWindow* Window() const { return captureWindow; }
  void SetCatalog(VideoSourceCatalog* catalog) { sources = catalog; }
  // Installed on the window at every connection.
  void SetStatusCallback(CaptureStatusCallback callback) { statusCallback = std::move(callback); }

  // Refreshes captureStatus from the window (all zero without one).
  void QueryCaptureStatus();
  // A streaming capture runs, as of the last QueryCaptureStatus.
  bool CapturingNow() const { return captureStatus.fCapturingNow; }

  // Refills captureDrivers (ten at most, stopping at the first index without a driver).
  void EnumerateCaptureDrivers();
  // "<name> (<version>)" of entry i.
  std::string FormatCaptureDriver(int i) const;

  // Connects captureDriverIndex and prepares the window: the default AVI sound format, the status
  // callback, the driver's abilities, the preview rate. Without a connection overlayOn becomes 0.
  // Returns driverConnected.
  int ConnectCaptureDriver(AppState& state);
  void DisconnectCaptureDriver();
  // Ends a running capture and waits until its thread has ended.
  void StopCaptureAndWait();

  // Overlay when asked for and the driver has one, else the preview; overlayOn follows.
  void SetOverlay(bool on, AppState& state);

  // The driver's dialogs; failures are told with their message boxes.
  void ShowVideoSourceDialog(Messages& messages);
  void ShowVideoFormatDialog(Messages& messages);
  // The compression chooser: a choice counts as set, Cancel changes nothing.
  void ShowVideoCompressionDialog(Messages& messages);
  void QueryDriverCaps();

  // PCM, 22050 samples a second, mono, 16 bits, named "PCM" and given to the window; the AVI
  // sound format counts as set (also without a window).
  void SetDefaultAviAudioFormat();
  // The sound format chooser, opening on the window's format and listing what the wave input can
  // record. A choice goes to the window and to aviAudioFormat and counts as set; Cancel changes
  // nothing; a failure is told and leaves the format unset. Nothing while the chooser is open.
  void ChooseAviAudioFormat(AudioCodecManager& codecs, Messages& messages);

  CaptureStatus captureStatus;
  std::vector<CaptureDriverEntry> captureDrivers;
  int captureDriverIndex = 0;  // the driver to connect; not saved
  int driverConnected = 0;
  CaptureDriverCaps driverCaps;
  int driverHasOverlay = 0;

  // The video format was set successfully (by the format dialog or from the settings).
  int32_t videoFormatSet = 0;
  // A compressor was chosen in this run: the first recording of every run asks for one.
  int32_t compressionSet = 0;
  // The settings held a compressor, which the window has: a scheduled recording uses it without
  // asking.
  int32_t compressionStored = 0;
  // The AVI sound format was set (the default at card start-up, the chooser, or the settings).
  int32_t aviAudioFormatSet = 0;
  AviAudioFormat aviAudioFormat;
  int32_t formatChooserOpen = 0;
  // The file the next AVI recording writes; the sound writers take it with their own extension.
  std::string captureFileName;

 private:
  CaptureWindow* captureWindow = nullptr;
  VideoSourceCatalog* sources = nullptr;
  CaptureStatusCallback statusCallback;
};

}  // namespace kelmo
