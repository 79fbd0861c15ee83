#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/CaptureWindow.h"

namespace kelmo {

// The simulated capture drivers: by default one, the test-pattern source.
class SimCaptureDriverCatalog final : public CaptureDriverCatalog {
 public:
  struct Description {
    std::string name;
    std::string version;
  };

  SimCaptureDriverCatalog();
  explicit SimCaptureDriverCatalog(std::vector<Description> drivers)
      : drivers(std::move(drivers)) {}

  bool GetDriverDescription(int index, std::string& name, std::string& version) override;
  int Count() const { return static_cast<int>(drivers.size()); }

 private:
  std::vector<Description> drivers;
};

// A model of a capture driver and its window, for machines without a capture card and for tests.
// It holds an audio format (PCM, mono or stereo, 8 or 16 bits, 8000..48000 Hz) and a video format
// (RGB24 or YUY2, 384 x 288 or 768 x 576) and checks every format it is given as a driver would. It
// offers overlay and both driver dialogs. It has no picture source yet: a sequence request fails
// (dwReturn = kErrorNoSource) and nothing records. User-interface thread only.
class SimCaptureWindow final : public CaptureWindow {
 public:
  static constexpr uint32_t kErrorNoSource = 1;

  // `driverCount`: how many drivers DriverConnect accepts (indexes 0 .. driverCount-1).
  explicit SimCaptureWindow(int driverCount = 1);

  void SetCallbackStatus(CaptureStatusCallback callback) override;
  void RemoveCallbackYield() override {}
  bool DriverConnect(int index) override;
  void DriverDisconnect() override;
  CaptureDriverCaps DriverGetCaps() override;
  void FileSetCaptureFile(const std::string& path) override { captureFile = path; }
  bool SetAudioFormat(const std::vector<uint8_t>& format) override;
  uint32_t GetAudioFormatSize() override;
  uint32_t GetAudioFormat(uint8_t* buffer, uint32_t size) override;
  bool DlgVideoFormat() override;
  void DlgVideoSource() override;
  bool DlgVideoCompression() override;
  uint32_t GetVideoFormatSize() override;
  uint32_t GetVideoFormat(uint8_t* buffer, uint32_t size) override;
  bool SetVideoFormat(const std::vector<uint8_t>& format) override;
  void SetPreview(bool on) override;
  void SetOverlay(bool on) override;
  void SetPreviewRate(int milliseconds) override;
  CaptureStatus GetStatus() override;
  void Sequence() override;
  bool SetSequenceSetup(const CaptureParms& parms) override;
  CaptureParms GetSequenceSetup() override { return parms; }
  void Stop() override {}

  // Formats this driver accepts, as blocks in their stored layout.
  static bool AcceptsAudioFormat(const std::vector<uint8_t>& format);
  static bool AcceptsVideoFormat(const std::vector<uint8_t>& format);

  // Fault switches.
  bool refuseConnect = false;  // the device is busy: DriverConnect fails
  bool refuseFormats = false;  // SetAudioFormat and SetVideoFormat refuse every format
  bool dialogsFail = false;    // the format and compression dialogs report failure

  // What the program asked of the window.
  bool Connected() const { return connected; }
  int ConnectedIndex() const { return connectedIndex; }
  const std::string& CaptureFile() const { return captureFile; }
  bool PreviewOn() const { return preview; }
  bool OverlayOn() const { return overlay; }
  int PreviewRate() const { return previewRate; }
  int dialogsShown = 0;

 private:
  int driverCount;
  bool connected = false;
  int connectedIndex = -1;
  bool preview = false;
  bool overlay = false;
  int previewRate = 0;
  uint32_t lastError = 0;
  std::string captureFile;
  std::vector<uint8_t> audioFormat;
  std::vector<uint8_t> videoFormat;
  CaptureParms parms;
  CaptureStatusCallback statusCallback;
};

}  // namespace kelmo
