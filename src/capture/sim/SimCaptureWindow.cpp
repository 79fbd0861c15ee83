#include "capture/sim/SimCaptureWindow.h"

#include <algorithm>
#include <cstring>

#include "audio/WaveFormat.h"

namespace kelmo {

namespace {

constexpr uint16_t kPcmTag = 1;

BitmapInfoHeader DefaultVideoFormat() {
  BitmapInfoHeader h;
  h.biWidth = 384;
  h.biHeight = 288;
  h.biBitCount = 24;
  h.biCompression = kBiRgb;
  h.biSizeImage = 384 * 288 * 3;
  return h;
}

bool IsOfferedSize(int32_t width, int32_t height) {
  return (width == 384 && height == 288) || (width == 768 && height == 576);
}

uint32_t CopyBlock(const std::vector<uint8_t>& block, uint8_t* buffer, uint32_t size) {
  const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(block.size()));
  if (buffer != nullptr && n > 0) std::memcpy(buffer, block.data(), n);
  return buffer == nullptr ? 0 : n;
}

}  // namespace

SimCaptureDriverCatalog::SimCaptureDriverCatalog()
    : drivers{{"Kelmo Test Pattern", "Version: 1.0"}} {}

bool SimCaptureDriverCatalog::GetDriverDescription(int index, std::string& name,
                                                   std::string& version) {
  if (index < 0 || index >= Count()) return false;
  name = drivers[static_cast<std::size_t>(index)].name;
  version = drivers[static_cast<std::size_t>(index)].version;
  return true;
}

SimCaptureWindow::SimCaptureWindow(int driverCount)
    : driverCount(driverCount),
      audioFormat(DefaultPcmFormat().ToBytes()),
      videoFormat(DefaultVideoFormat().ToBytes()) {}

void SimCaptureWindow::SetCallbackStatus(CaptureStatusCallback callback) {
  statusCallback = std::move(callback);
}

bool SimCaptureWindow::DriverConnect(int index) {
  if (refuseConnect || index < 0 || index >= driverCount) {
    connected = false;
    return false;
  }
  connected = true;
  connectedIndex = index;
  return true;
}

void SimCaptureWindow::DriverDisconnect() {
  connected = false;
  connectedIndex = -1;
  preview = false;
  overlay = false;
}

CaptureDriverCaps SimCaptureWindow::DriverGetCaps() {
  if (!connected) return {};
  CaptureDriverCaps caps;
  caps.wDeviceIndex = static_cast<uint32_t>(connectedIndex);
  caps.fHasOverlay = true;
  caps.fHasDlgVideoSource = true;
  caps.fHasDlgVideoFormat = true;
  caps.fCaptureInitialized = true;
  return caps;
}

bool SimCaptureWindow::AcceptsAudioFormat(const std::vector<uint8_t>& format) {
  const auto f = WaveFormatEx::FromBytes(format);
  if (!f || f->wFormatTag != kPcmTag) return false;
  const bool shape = (f->nChannels == 1 || f->nChannels == 2) &&
                     (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) &&
                     f->nSamplesPerSec >= 8000 && f->nSamplesPerSec <= 48000;
  const uint32_t align = f->nChannels * f->wBitsPerSample / 8u;
  return shape && f->nBlockAlign == align && f->nAvgBytesPerSec == f->nSamplesPerSec * align;
}

bool SimCaptureWindow::AcceptsVideoFormat(const std::vector<uint8_t>& format) {
  const auto h = BitmapInfoHeader::FromBytes(format);
  if (!h || h->biPlanes != 1 || !IsOfferedSize(h->biWidth, h->biHeight)) return false;
  return (h->biCompression == kBiRgb && h->biBitCount == 24) ||
         (h->biCompression == kFourccYuy2 && h->biBitCount == 16);
}

bool SimCaptureWindow::SetAudioFormat(const std::vector<uint8_t>& format) {
  if (!connected || refuseFormats || !AcceptsAudioFormat(format)) return false;
  audioFormat.assign(format.begin(), format.begin() + WaveFormatBlockSize(format));
  return true;
}

uint32_t SimCaptureWindow::GetAudioFormatSize() {
  return connected ? static_cast<uint32_t>(audioFormat.size()) : 0;
}

uint32_t SimCaptureWindow::GetAudioFormat(uint8_t* buffer, uint32_t size) {
  return connected ? CopyBlock(audioFormat, buffer, size) : 0;
}

bool SimCaptureWindow::SetVideoFormat(const std::vector<uint8_t>& format) {
  if (!connected || refuseFormats || !AcceptsVideoFormat(format)) return false;
  // The driver owns the image size: it follows from the picture's shape.
  BitmapInfoHeader h = *BitmapInfoHeader::FromBytes(format);
  h.biSizeImage = static_cast<uint32_t>(h.biWidth * h.biHeight * (h.biBitCount / 8));
  h.biClrUsed = 0;
  h.biClrImportant = 0;
  videoFormat = h.ToBytes();
  return true;
}

uint32_t SimCaptureWindow::GetVideoFormatSize() {
  return connected ? static_cast<uint32_t>(videoFormat.size()) : 0;
}

uint32_t SimCaptureWindow::GetVideoFormat(uint8_t* buffer, uint32_t size) {
  return connected ? CopyBlock(videoFormat, buffer, size) : 0;
}

bool SimCaptureWindow::DlgVideoFormat() {
  ++dialogsShown;
  return connected && !dialogsFail;
}

void SimCaptureWindow::DlgVideoSource() { ++dialogsShown; }

bool SimCaptureWindow::DlgVideoCompression() {
  ++dialogsShown;
  return connected && !dialogsFail;
}

void SimCaptureWindow::SetPreview(bool on) { preview = connected && on; }

void SimCaptureWindow::SetOverlay(bool on) { overlay = connected && on; }

void SimCaptureWindow::SetPreviewRate(int milliseconds) { previewRate = std::max(0, milliseconds); }

CaptureStatus SimCaptureWindow::GetStatus() {
  CaptureStatus status;
  if (!connected) return status;
  const BitmapInfoHeader h = *BitmapInfoHeader::FromBytes(videoFormat);
  status.uiImageWidth = static_cast<uint32_t>(h.biWidth);
  status.uiImageHeight = static_cast<uint32_t>(h.biHeight);
  status.fLiveWindow = preview;
  status.fOverlayWindow = overlay;
  status.fAudioHardware = true;
  status.dwReturn = lastError;
  return status;
}

void SimCaptureWindow::Sequence() {
  if (connected) lastError = kErrorNoSource;
}

bool SimCaptureWindow::SetSequenceSetup(const CaptureParms& newParms) {
  if (!connected || newParms.dwRequestMicroSecPerFrame == 0) return false;
  parms = newParms;
  return true;
}

}  // namespace kelmo
