#include "capture/CaptureDriver.h"

#include <algorithm>

#include "audio/AcmFormatTable.h"
#include "audio/WaveFormat.h"

namespace kelmo {
namespace {

constexpr std::size_t kNameField = 160;  // bytes, the terminator included
constexpr std::size_t kVersionField = 80;
constexpr int kPreviewRateMs = 40;

// A text cut to a field of `size` bytes, at a character boundary.
std::string Field(const std::string& text, std::size_t size) {
  std::size_t n = std::min(text.size(), size - 1);
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

}  // namespace

bool GetDriverDescription(const std::vector<VideoSourceCatalog::Entry>& entries, int index,
                          std::string& name, std::string& version) {
  if (index < 0 || index >= static_cast<int>(entries.size())) return false;
  name = Field(entries[static_cast<std::size_t>(index)].name, kNameField);
  version = Field(entries[static_cast<std::size_t>(index)].version, kVersionField);
  return true;
}

void CaptureDriver::QueryCaptureStatus() {
  captureStatus = captureWindow ? captureWindow->GetStatus() : CaptureStatus{};
}

void CaptureDriver::EnumerateCaptureDrivers() {
  captureDrivers.clear();
  const auto entries = sources ? sources->List() : std::vector<VideoSourceCatalog::Entry>{};
  CaptureDriverEntry entry;
  for (int i = 0;
       i < kMaxCaptureDrivers && GetDriverDescription(entries, i, entry.name, entry.version); ++i)
    captureDrivers.push_back(entry);
}

std::string CaptureDriver::FormatCaptureDriver(int i) const {
  if (i < 0 || i >= static_cast<int>(captureDrivers.size())) return {};
  const CaptureDriverEntry& e = captureDrivers[static_cast<std::size_t>(i)];
  return e.name + " (" + e.version + ")";
}

int CaptureDriver::ConnectCaptureDriver(AppState& state) {
  driverConnected = captureWindow && captureWindow->DriverConnect(captureDriverIndex) ? 1 : 0;
  if (driverConnected == 0) state.overlayOn = 0;
  SetDefaultAviAudioFormat();
  if (captureWindow) captureWindow->SetCallbackStatus(statusCallback);
  QueryDriverCaps();
  driverHasOverlay = driverCaps.fHasOverlay ? 1 : 0;
  if (captureWindow) captureWindow->SetPreviewRate(driverConnected ? kPreviewRateMs : 0);
  return driverConnected;
}

void CaptureDriver::DisconnectCaptureDriver() {
  if (captureWindow) captureWindow->DriverDisconnect();
}

void CaptureDriver::StopCaptureAndWait() {
  if (!captureWindow) return;
  // Stop returns once the capture thread has ended, so the status read after it is final.
  captureWindow->Stop();
  captureStatus = captureWindow->GetStatus();
}

void CaptureDriver::SetOverlay(bool on, AppState& state) {
  if (!captureWindow) {
    state.overlayOn = 0;
    return;
  }
  const bool overlay = on && driverHasOverlay != 0;
  if (overlay) {
    captureWindow->SetPreview(false);
    captureWindow->SetOverlay(true);
  } else {
    captureWindow->SetPreview(true);
    if (driverHasOverlay != 0) captureWindow->SetOverlay(false);
  }
  state.overlayOn = overlay ? 1 : 0;
}

void CaptureDriver::ShowVideoSourceDialog(Messages& messages) {
  if (driverCaps.fHasDlgVideoSource && captureWindow)
    captureWindow->DlgVideoSource();
  else
    messages.Show("ERROR en Dialogo VideoSource");
}

void CaptureDriver::ShowVideoFormatDialog(Messages& messages) {
  if (!driverCaps.fHasDlgVideoFormat) {
    messages.Show("ERROR en Dialogo VideoFormat");
    return;
  }
  videoFormatSet = captureWindow && captureWindow->DlgVideoFormat() ? 1 : 0;
  if (videoFormatSet == 0) messages.Show("ERROR en Dialogo VideoFormat");
}

void CaptureDriver::ShowVideoCompressionDialog(Messages& messages) {
  using Outcome = CaptureWindow::DialogOutcome;
  const Outcome outcome =
      captureWindow ? captureWindow->DlgVideoCompression() : Outcome::Unavailable;
  // Cancel keeps what was chosen before (nothing, at the first recording): it never counts as a
  // choice.
  if (outcome == Outcome::Chosen) compressionSet = 1;
  if (outcome == Outcome::Unavailable) {
    compressionSet = 0;
    messages.Show("ERROR en Dialogo VideoCompression");
  }
}

void CaptureDriver::QueryDriverCaps() {
  driverCaps = captureWindow ? captureWindow->DriverGetCaps() : CaptureDriverCaps{};
}

void CaptureDriver::SetDefaultAviAudioFormat() {
  aviAudioFormat = AviAudioFormat{};
  if (captureWindow) captureWindow->SetAudioFormat(aviAudioFormat.format.ToBytes());
  aviAudioFormatSet = 1;
}

void CaptureDriver::ChooseAviAudioFormat(AudioCodecManager& codecs, Messages& messages) {
  if (formatChooserOpen != 0) return;
  formatChooserOpen = 1;
  const uint32_t size =
      std::max(AcmMaxFormatSize(), captureWindow ? captureWindow->GetAudioFormatSize() : 0);
  AcmFormatChoice choice;
  choice.format.assign(size, 0);
  // The window answers at most a 16-bit size, as it always has.
  if (captureWindow) captureWindow->GetAudioFormat(choice.format.data(), size & 0xFFFF);
  choice.enumeration = AcmFormatEnum::Input;
  const int result = codecs.ChooseFormat(choice);
  const auto chosen = WaveFormatEx::FromBytes(choice.format);
  if (result == kAcmOk && chosen) {
    if (captureWindow) captureWindow->SetAudioFormat(chosen->ToBytes());
    aviAudioFormat.formatName = choice.formatTagName;
    aviAudioFormat.format = *chosen;
    aviAudioFormatSet = 1;
  } else if (result != kAcmErrCanceled) {
    messages.Show("ERROR en Dialogo acmFormatChoose");
    aviAudioFormatSet = 0;
  }
  formatChooserOpen = 0;
}

}  // namespace kelmo
