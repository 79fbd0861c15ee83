#include "capture/CaptureEngine.h"

#include <algorithm>
#include <cstring>

#include "audio/WaveFormat.h"
#include "base/Log.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/PreviewPacer.h"
#include "capture/SequenceCapture.h"

namespace kelmo {
namespace {

constexpr uint16_t kPcmTag = 1;
constexpr int kFrameWaitMs = 100;  // the grabber looks at its quit flag this often

// Sound a capture can record next to the picture: plain PCM.
bool IsCapturableSound(const WaveFormatEx& f) {
  const uint32_t align = f.nChannels * f.wBitsPerSample / 8u;
  return f.wFormatTag == kPcmTag && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 8000 &&
         f.nSamplesPerSec <= 48000 && f.nBlockAlign == align &&
         f.nAvgBytesPerSec == f.nSamplesPerSec * align;
}

std::optional<VideoMode> ModeOf(const BitmapInfoHeader& h) {
  if (h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0) return std::nullopt;
  VideoMode mode{h.biWidth, std::abs(h.biHeight), PixelFormat::Bgr24};
  if (h.biCompression == kBiRgb && h.biBitCount == 24) return mode;
  if (h.biCompression == kFourccYuy2 && h.biBitCount == 16) {
    mode.format = PixelFormat::Yuyv;
    return mode;
  }
  return std::nullopt;
}

BitmapInfoHeader HeaderOf(const VideoMode& mode) {
  BitmapInfoHeader h;
  h.biWidth = mode.width;
  h.biHeight = mode.height;
  h.biBitCount = PixelFormatBitCount(mode.format);
  h.biCompression = PixelFormatCompression(mode.format);
  h.biSizeImage = static_cast<uint32_t>(RowBytes(mode.width, mode.format) * mode.height);
  return h;
}

uint32_t CopyBlock(const std::vector<uint8_t>& block, uint8_t* buffer, uint32_t size) {
  if (buffer == nullptr) return 0;
  const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(block.size()));
  if (n > 0) std::memcpy(buffer, block.data(), n);
  return n;
}

}  // namespace

CaptureEngine::CaptureEngine(Ports ports)
    : ports(ports), audioFormat(DefaultPcmFormat().ToBytes()) {}

CaptureEngine::~CaptureEngine() { DriverDisconnect(); }

void CaptureEngine::AttachToParent(PictureView* picture, CaptureDialogs* dialogs) {
  StopGrabber();
  ports.picture = picture;
  ports.dialogs = dialogs;
  UpdateStreaming();
}

void CaptureEngine::SetCallbackStatus(CaptureStatusCallback callback) {
  std::lock_guard lock(callbackMutex);
  statusCallback = std::move(callback);
}

void CaptureEngine::SetCallbackWaveStream(CaptureWaveStreamCallback callback) {
  std::lock_guard lock(callbackMutex);
  waveStreamCallback = std::move(callback);
}

void CaptureEngine::SetCallbackError(CaptureErrorCallback callback) {
  std::lock_guard lock(callbackMutex);
  errorCallback = std::move(callback);
}

void CaptureEngine::ReportError(const std::string& text) {
  std::lock_guard lock(callbackMutex);
  if (errorCallback) errorCallback(text);
}

DeviceError CaptureEngine::DriverConnect(int index) {
  DriverDisconnect();
  const auto entries = ports.sources.List();
  std::unique_ptr<VideoSource> made;
  if (index >= 0 && index < static_cast<int>(entries.size())) made = ports.sources.Make(index);
  if (made == nullptr) {
    LogWarning("capture", "no capture driver number %d to connect", index);
    return {DeviceErrorKind::NotPresent, "Capture driver " + std::to_string(index), "not listed"};
  }
  if (DeviceError failed = made->Open(); !failed.ok()) {
    Refused("cannot connect", failed);
    return failed;
  }
  source = std::move(made);
  connectedIndex = index;
  return DeviceError::Ok();
}

void CaptureEngine::Refused(const char* what, const DeviceError& error) {
  LogError("capture", "%s %s: %s (%s)", error.device.c_str(), what, DeviceErrorKindName(error.kind),
           error.systemText.c_str());
  ReportError(error.Text());
}

DeviceError CaptureEngine::WhileStopped(const std::function<DeviceError()>& change) {
  // A V4L2 driver takes no new input or format while it streams: stop, apply, stream again.
  StopGrabber();
  DeviceError result = change();
  UpdateStreaming();
  return result;
}

void CaptureEngine::DriverDisconnect() {
  EndCapture();
  StopGrabber();
  if (source) source->Close();
  source.reset();
  connectedIndex = -1;
  preview = overlay = false;
  if (ports.picture != nullptr) ports.picture->ClearPicture();
}

CaptureDriverCaps CaptureEngine::DriverGetCaps() {
  if (!source) return {};
  CaptureDriverCaps caps;
  caps.wDeviceIndex = static_cast<uint32_t>(connectedIndex);
  caps.fHasOverlay = source->HasOverlay();
  caps.fHasDlgVideoSource = ports.dialogs != nullptr;
  caps.fHasDlgVideoFormat = ports.dialogs != nullptr;
  caps.fCaptureInitialized = true;
  return caps;
}

bool CaptureEngine::SetAudioFormat(const std::vector<uint8_t>& format) {
  const auto f = WaveFormatEx::FromBytes(format);
  if (!source || !f || !IsCapturableSound(*f) || capture) return false;
  audioFormat = f->ToBytes();
  return true;
}

uint32_t CaptureEngine::GetAudioFormatSize() {
  return source ? static_cast<uint32_t>(audioFormat.size()) : 0;
}

uint32_t CaptureEngine::GetAudioFormat(uint8_t* buffer, uint32_t size) {
  return source ? CopyBlock(audioFormat, buffer, size) : 0;
}

uint32_t CaptureEngine::GetVideoFormatSize() {
  return source ? static_cast<uint32_t>(BitmapInfoHeader::kSize) : 0;
}

uint32_t CaptureEngine::GetVideoFormat(uint8_t* buffer, uint32_t size) {
  return source ? CopyBlock(HeaderOf(source->Mode()).ToBytes(), buffer, size) : 0;
}

DeviceError CaptureEngine::Unavailable() const {
  if (!source) return {DeviceErrorKind::NotPresent, "The capture driver", "none is connected"};
  if (capture) return {DeviceErrorKind::Busy, "The capture driver", "a recording runs"};
  return DeviceError::Ok();
}

DeviceError CaptureEngine::SetVideoFormat(const std::vector<uint8_t>& format) {
  if (DeviceError e = Unavailable(); !e.ok()) return e;
  const auto header = BitmapInfoHeader::FromBytes(format);
  const auto mode = header ? ModeOf(*header) : std::nullopt;
  if (!mode) return {DeviceErrorKind::FormatNotSupported, "The capture driver", "not a format"};
  return WhileStopped([&] { return source->SetMode(*mode); });
}

DeviceError CaptureEngine::DlgVideoFormat() {
  if (DeviceError e = Unavailable(); !e.ok()) return e;
  if (ports.dialogs == nullptr)
    return {DeviceErrorKind::NotPresent, "The capture driver", "it has no format dialog"};
  const auto chosen = ports.dialogs->VideoFormatDialog(source->Modes(), source->Mode());
  // Cancel keeps the format in use, which is a format the source has.
  if (!chosen) return DeviceError::Ok();
  DeviceError result = WhileStopped([&] { return source->SetMode(*chosen); });
  if (!result.ok()) Refused("refused the format", result);
  return result;
}

DeviceError CaptureEngine::DlgVideoSource() {
  if (!source) return {DeviceErrorKind::NotPresent, "The capture driver", "none is connected"};
  if (ports.dialogs == nullptr)
    return {DeviceErrorKind::NotPresent, "The capture driver", "it has no source dialog"};
  DeviceError last;
  ports.dialogs->VideoSourceDialog(*source, [this, &last](int index) {
    // A recording keeps its input: the stream is not stopped under it.
    last = capture ? DeviceError{DeviceErrorKind::Busy, source->DevicePath(), "a recording runs"}
                   : WhileStopped([&] { return source->SetInput(index); });
    if (!last.ok()) {
      Refused("refused the input", last);
    } else {
      LogInfo("capture", "input %d chosen", index);
    }
    return last;
  });
  return last;
}

CaptureWindow::DialogOutcome CaptureEngine::DlgVideoCompression() {
  if (!source || ports.dialogs == nullptr) return DialogOutcome::Unavailable;
  const auto chosen = ports.dialogs->CompressionDialog(compression);
  if (!chosen) return DialogOutcome::Cancelled;
  SetCompression(*chosen);
  return DialogOutcome::Chosen;
}

void CaptureEngine::SetCompression(const VideoCompressionChoice& choice) {
  compression = Normalised(choice);
}

void CaptureEngine::SetPreview(bool on) {
  preview = source && on;
  UpdateStreaming();
}

void CaptureEngine::SetOverlay(bool on) {
  overlay = source && on && source->HasOverlay();
  UpdateStreaming();
}

void CaptureEngine::SetPreviewRate(int milliseconds) {
  previewRateMs = std::max(0, milliseconds);
  UpdateStreaming();
}

CaptureStatus CaptureEngine::GetStatus() {
  CaptureStatus status;
  if (!source) return status;
  const VideoMode mode = source->Mode();
  status.uiImageWidth = static_cast<uint32_t>(mode.width);
  status.uiImageHeight = static_cast<uint32_t>(mode.height);
  status.fLiveWindow = preview;
  status.fOverlayWindow = overlay;
  status.fAudioHardware = ports.sound != nullptr;
  status.fCapFileExists = !captureFile.empty();
  std::lock_guard lock(captureMutex);
  if (capture) {
    status.fCapturingNow = capture->Running();
    status.dwCurrentVideoFrame = capture->FramesWritten() + capture->FramesDropped();
    status.dwCurrentVideoFramesDropped = capture->FramesDropped();
    status.dwCurrentWaveSamples = capture->WaveSamples();
    status.dwCurrentTimeElapsedMS = capture->ElapsedMs();
    status.capFile = capture->Path();
    status.fFailed = capture->Failed();
    status.fDiskFull = capture->FailedOnFullDisk();
  }
  return status;
}

bool CaptureEngine::SetSequenceSetup(const CaptureParms& newParms) {
  if (!source || newParms.dwRequestMicroSecPerFrame == 0 || (capture && capture->Running()))
    return false;
  parms = newParms;
  return true;
}

void CaptureEngine::Sequence() {
  if (!source || (capture && capture->Running())) return;
  EndCapture();
  SequenceCapture::Setup setup;
  setup.parms = parms;
  setup.sound = ports.sound;
  setup.soundShown = [this](std::span<const uint8_t> samples, uint16_t bits) {
    std::lock_guard lock(callbackMutex);
    if (waveStreamCallback) waveStreamCallback(samples, bits);
  };
  setup.avi.path = captureFile;
  setup.avi.video = source->Mode();
  setup.avi.microSecPerFrame = parms.dwRequestMicroSecPerFrame;
  setup.avi.compression = compression;
  if (parms.fCaptureAudio) setup.avi.audio = WaveFormatEx::FromBytes(audioFormat);
  StopGrabber();
  source->SetFrameInterval(parms.dwRequestMicroSecPerFrame);
  auto made = std::make_unique<SequenceCapture>(
      std::move(setup), ports.writers.Make(), ports.clock,
      [this](int id, const std::string& text) {
        std::lock_guard lock(callbackMutex);
        if (statusCallback) statusCallback(id, text);
      },
      [this](const std::string& text) { ReportError(text); });
  made->Start();
  {
    std::lock_guard lock(captureMutex);
    capture = std::move(made);
  }
  StartGrabber();
}

void CaptureEngine::Stop() {
  if (!capture) return;
  EndCapture();
  UpdateStreaming();
}

void CaptureEngine::EndCapture() {
  if (!capture) return;
  StopGrabber();
  capture->StopAndJoin();
  std::lock_guard lock(captureMutex);
  capture.reset();
}

bool CaptureEngine::RightMouseClick() {
  if (!capture || !capture->Running() || !parms.fAbortRightMouse) return false;
  Stop();
  return true;
}

bool CaptureEngine::KeyPressed(uint32_t virtualKey) {
  if (!capture || !capture->Running() || virtualKey != parms.vKeyAbort) return false;
  Stop();
  return true;
}

void CaptureEngine::UpdateStreaming() {
  const bool wanted = source && (capture || overlay || (preview && previewRateMs > 0));
  if (wanted && !Streaming()) StartGrabber();
  if (!wanted && Streaming()) StopGrabber();
  if (!wanted && ports.picture != nullptr) ports.picture->ClearPicture();
}

void CaptureEngine::StartGrabber() {
  if (!source || Streaming()) return;
  grabberQuit = false;
  grabber = std::thread(&CaptureEngine::Grab, this);
}

void CaptureEngine::StopGrabber() {
  if (!Streaming()) return;
  grabberQuit = true;
  grabber.join();
}

void CaptureEngine::Grab() {
  DeviceError error = source->StartStreaming();
  if (!error.ok()) {
    LogError("capture", "%s cannot stream: %s (%s)", error.device.c_str(),
             DeviceErrorKindName(error.kind), error.systemText.c_str());
    if (capture)
      capture->SourceFailed(error.Text());
    else
      ReportError(error.Text());
    return;
  }
  VideoFrame frame;
  PreviewPacer pacer;
  while (!grabberQuit) {
    if (!source->NextFrame(frame, kFrameWaitMs, error)) {
      if (error.ok()) continue;
      // The stream is over: one message; a capture goes on with empty slots and its sound.
      if (capture)
        capture->SourceFailed(error.Text());
      else
        ReportError(error.Text());
      break;
    }
    if (capture) capture->Offer(frame);
    if (ports.picture == nullptr || !(preview || overlay)) continue;
    if (overlay || pacer.Due(ports.clock.MonotonicMilliseconds(), previewRateMs))
      ports.picture->ShowFrame(frame);
  }
  source->StopStreaming();
}

}  // namespace kelmo
