#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/WaveInput.h"
#include "capture/AviWriter.h"
#include "capture/CaptureDialogs.h"
#include "capture/CaptureWindow.h"
#include "capture/PictureView.h"
#include "capture/VideoSource.h"
#include "platform/Clock.h"

namespace kelmo {

class SequenceCapture;

// The capture engine behind the capture window's messages: one connected video source, its live
// picture in a picture view, its driver dialogs, and streaming capture into an AVI file with the
// sound of a wave input.
//
// Threads: the user-interface thread calls every method. While the picture shows or a capture
// runs, a grabber thread reads the source and hands each frame to the picture (at the preview
// rate) and to the capture; a capture thread encodes and writes the file (SequenceCapture). Stop
// and every set-up change stop and join the threads they replace.
class CaptureEngine final : public CaptureWindow {
 public:
  struct Ports {
    VideoSourceCatalog& sources;
    AviWriterFactory& writers;
    Clock& clock;
    WaveInput* sound = nullptr;         // null: captures have no sound
    PictureView* picture = nullptr;     // null: no live picture
    CaptureDialogs* dialogs = nullptr;  // null: the driver dialogs fail
  };

  explicit CaptureEngine(Ports ports);
  ~CaptureEngine() override;

  void AttachToParent(PictureView* picture, CaptureDialogs* dialogs) override;
  void SetCallbackStatus(CaptureStatusCallback callback) override;
  void RemoveCallbackYield() override {}
  void SetCallbackError(CaptureErrorCallback callback) override;
  void SetCallbackWaveStream(CaptureWaveStreamCallback callback) override;
  DeviceError DriverConnect(int index) override;
  void DriverDisconnect() override;
  CaptureDriverCaps DriverGetCaps() override;
  std::string DriverDevice() override { return source ? source->DevicePath() : std::string(); }
  void FileSetCaptureFile(const std::string& path) override { captureFile = path; }
  bool SetAudioFormat(const std::vector<uint8_t>& format) override;
  uint32_t GetAudioFormatSize() override;
  uint32_t GetAudioFormat(uint8_t* buffer, uint32_t size) override;
  DeviceError DlgVideoFormat() override;
  DeviceError DlgVideoSource() override;
  DialogOutcome DlgVideoCompression() override;
  uint32_t GetVideoFormatSize() override;
  uint32_t GetVideoFormat(uint8_t* buffer, uint32_t size) override;
  DeviceError SetVideoFormat(const std::vector<uint8_t>& format) override;
  void SetPreview(bool on) override;
  void SetOverlay(bool on) override;
  void SetPreviewRate(int milliseconds) override;
  CaptureStatus GetStatus() override;
  void Sequence() override;
  bool SetSequenceSetup(const CaptureParms& parms) override;
  CaptureParms GetSequenceSetup() override { return parms; }
  void Stop() override;
  VideoCompressionChoice GetCompression() override { return compression; }
  void SetCompression(const VideoCompressionChoice& choice) override;
  bool RightMouseClick() override;
  bool KeyPressed(uint32_t virtualKey) override;

  // The file the next capture writes.
  const std::string& CaptureFile() const { return captureFile; }

 private:
  bool Streaming() const { return grabber.joinable(); }
  // Starts or stops the grabber to match what is asked for now (picture or capture).
  void UpdateStreaming();
  void StartGrabber();
  void StopGrabber();
  void Grab();
  void ReportError(const std::string& text);
  // Logs a device's refusal and tells it through the error callback.
  void Refused(const char* what, const DeviceError& error);
  // Runs a change of input or format with the grabber stopped, then streams again as before.
  DeviceError WhileStopped(const std::function<DeviceError()>& change);
  // Why the format cannot change now (no driver, a recording runs), or Ok.
  DeviceError Unavailable() const;
  // Ends the running capture, if any, and joins its thread.
  void EndCapture();

  Ports ports;
  std::unique_ptr<VideoSource> source;
  int connectedIndex = -1;
  std::string captureFile;
  std::vector<uint8_t> audioFormat;
  VideoCompressionChoice compression;
  CaptureParms parms;
  // Written by the user-interface thread, read by the grabber while it runs.
  std::atomic<bool> preview{false};
  std::atomic<bool> overlay{false};
  std::atomic<int> previewRateMs{0};

  std::mutex callbackMutex;  // the callbacks, called from the threads
  CaptureStatusCallback statusCallback;
  CaptureErrorCallback errorCallback;
  CaptureWaveStreamCallback waveStreamCallback;

  std::thread grabber;
  std::atomic<bool> grabberQuit{false};
  mutable std::mutex captureMutex;  // `capture` itself, read by GetStatus from any thread
  std::unique_ptr<SequenceCapture> capture;
};

}  // namespace kelmo
