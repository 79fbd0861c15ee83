#include "capture/AviRecording.h"

#include "audio/RecordingNoteFile.h"
#include "base/RecordingHealth.h"
#include "capture/CaptureFileName.h"

namespace kelmo {
namespace {

constexpr int kPreviewRateMs = 40;
constexpr int kBlinkCycle = 45;  // status messages per cycle of the indicator

uint32_t Le32(const std::vector<uint8_t>& block, std::size_t at) {
  return block[at] | block[at + 1] << 8 | block[at + 2] << 16 |
         static_cast<uint32_t>(block[at + 3]) << 24;
}

// The pixel format of a video format block (a bitmap header): its FourCC, or "RGB" and its depth
// for an uncompressed one.
std::string PixelFormatText(const std::vector<uint8_t>& block) {
  if (block.size() < 20) return "";
  const uint32_t fourcc = Le32(block, 16);
  if (fourcc == 0) return "RGB" + std::to_string(block[14] | block[15] << 8);
  std::string text;
  for (int i = 0; i < 4; ++i) text += static_cast<char>(fourcc >> (8 * i) & 0xFF);
  return text;
}

// The indicator's text for a counter value: blank, "RECORDING", blank, "AVI".
const char* Indicator(int counter) {
  if (counter >= 11 && counter <= 21) return "RECORDING";
  if (counter >= 33) return "AVI";
  return " ";
}

}  // namespace

void AviRecording::ChooseCaptureDirectory(Shell& shell) {
  std::string start = state.saveDir;
  if (start.size() > 1 && start.back() == '/') start.pop_back();
  if (const auto chosen = shell.ChooseDirectory("Choose the directory to save your AVIs:", start);
      chosen && !chosen->empty())
    state.saveDir = *chosen;
  if (state.saveDir.empty() || state.saveDir.back() != '/') state.saveDir += '/';
  BuildCaptureFileName(capture, state.saveDir, clock);
}

bool AviRecording::StartAviCapture(StartedBy by) {
  const bool soundSet = capture.aviAudioFormatSet != 0;
  const bool videoSet = capture.videoFormatSet != 0;
  if (!soundSet) messages.Show("You didn't set the Sound Format (Options/Capture Options)");
  if (!videoSet) messages.Show("You didn't set the Video Format (Options/Capture Options)");
  if (capture.compressionSet == 0) {
    // Nobody may be there to answer a dialog for the schedule: the stored choice serves.
    if (by == StartedBy::Schedule) {
      capture.compressionSet = capture.compressionStored;
    } else if (videoSet) {
      capture.ShowVideoCompressionDialog(messages);
    }
    if (capture.compressionSet == 0) {
      messages.Show("You didn't set the Compression (Options/Capture Options)");
      return false;
    }
  }
  if (!soundSet || !videoSet) return false;

  CaptureWindow* window = capture.Window();
  const int frameRate = state.frameRate > 0 ? state.frameRate : 25;
  CaptureParms parms = window ? window->GetSequenceSetup() : CaptureParms{};
  parms.dwRequestMicroSecPerFrame = static_cast<uint32_t>(1000000 / frameRate);
  parms.fMakeUserHitOKToCapture = false;
  parms.wPercentDropForError = 30;
  parms.fYield = true;
  parms.dwIndexSize = 324000;
  parms.wChunkGranularity = 0;
  parms.wNumVideoRequested = 32;
  parms.fCaptureAudio = true;
  parms.wNumAudioRequested = 10;
  parms.fAbortLeftMouse = false;
  parms.fAbortRightMouse = true;
  parms.AVStreamMaster = 0;
  if (window) window->RemoveCallbackYield();
  if (!window || !window->SetSequenceSetup(parms)) {
    messages.Show("ERROR al llamar a capCaptureSetSetup");
    return false;
  }
  window->SetPreviewRate(1000 / frameRate);
  NoteStart(*window);
  window->Sequence();
  view.SetRecEnabled(false);
  view.SetStopEnabled(true);
  view.FocusStop();
  return true;
}

void AviRecording::StopAviCapture() {
  if (CaptureWindow* window = capture.Window()) {
    window->Stop();
    window->SetPreviewRate(kPreviewRateMs);
  }
  view.SetRecEnabled(true);
  view.FocusRec();
  view.SetStopEnabled(false);
}

void AviRecording::NoteStart(CaptureWindow& window) {
  if (!note) return;
  const int index = capture.captureDriverIndex;
  const std::string node = window.DriverDevice();
  if (index >= 0 && index < static_cast<int>(capture.captureDrivers.size()))
    note->device = capture.FormatCaptureDriver(index);
  if (!node.empty()) note->device += (note->device.empty() ? "" : " ") + node;
  RecordingNote::Video video;
  std::vector<uint8_t> block(window.GetVideoFormatSize());
  block.resize(window.GetVideoFormat(block.data(), static_cast<uint32_t>(block.size())));
  video.pixelFormat = PixelFormatText(block);
  const VideoCompressionChoice compression = window.GetCompression();
  const VideoCodecInfo& codec = CodecInfo(compression.codec);
  video.codec = codec.name;
  if (codec.qualityLabel != nullptr) video.quality = compression.quality;
  note->video = video;
  note->soundFormat =
      SoundFormatText(capture.aviAudioFormat.formatName, capture.aviAudioFormat.format.ToBytes());
}

void AviRecording::NoteEnd() {
  CaptureWindow* window = capture.Window();
  if (!note || !note->Pending() || !window) return;
  const CaptureStatus status = window->GetStatus();
  note->file = status.capFile;
  note->end = clock.Now();
  if (status.fFailed)
    note->EndedBy(status.fDiskFull ? RecordingEnd::DiskFull : RecordingEnd::Error);
  if (note->video) {
    note->video->width = status.uiImageWidth;
    note->video->height = status.uiImageHeight;
    note->video->framesCaptured = status.dwCurrentVideoFrame;
    note->video->framesDropped = status.dwCurrentVideoFramesDropped;
  }
  // A recording whose sound input was busy has no sound: no sound lines then.
  const uint32_t rate = capture.aviAudioFormat.format.nSamplesPerSec;
  if (status.dwCurrentWaveSamples == 0 || rate == 0) {
    note->soundFormat.clear();
  } else {
    note->soundMs = uint64_t{status.dwCurrentWaveSamples} * 1000 / rate;
  }
  WriteRecordingNote(*note);
}

void AviRecording::ShowSaved() {
  CaptureWindow* window = capture.Window();
  if (!window) return;
  const CaptureStatus status = window->GetStatus();
  // A failed capture keeps its statistics, which say why it stopped; so does one without a file.
  const uint64_t period = window->GetSequenceSetup().dwRequestMicroSecPerFrame;
  const std::string line =
      status.fFailed || status.capFile.empty()
          ? statistics
          : FormatSavedLine(
                status.capFile, status.dwCurrentVideoFrame * period / 1000,
                FileBytes(status.capFile),
                SavedFrames{status.dwCurrentVideoFrame, status.dwCurrentVideoFramesDropped});
  state.savedLine.Hold(line);
  view.SetStatusLine(line);
}

void AviRecording::ListenToCapture() {
  capture.SetStatusCallback(
      [this](int id, const std::string& text) { return CaptureStatusCallback(id, text); });
  if (CaptureWindow* window = capture.Window())
    window->SetCallbackWaveStream(
        [this](std::span<const uint8_t> samples, uint16_t bits) { meter.Show(samples, bits); });
}

bool AviRecording::IsRecording() const {
  CaptureWindow* window = capture.Window();
  return window != nullptr && window->GetStatus().fCapturingNow;
}

int AviRecording::CaptureStatusCallback(int id, const std::string& text) {
  if (protocol.EndTimeSeen(clock.Now()) && note) note->EndedBy(RecordingEnd::Schedule);
  if (id == kCapStatusEnd) {
    NoteEnd();
    if (protocol.CaptureEnded()) {
      view.SetRecEnabled(true);
      view.FocusRec();
      view.SetStopEnabled(false);
    }
    const int last = lastStatusId.load();
    if (last == kCapStatusStatsAudio || last == kCapStatusStatsNoAudio) {
      ShowSaved();
      return 1;
    }
  }
  if (id == kCapStatusStatsAudio || id == kCapStatusStatsNoAudio) statistics = text;
  lastStatusId = id;
  view.SetStatusLine(text);
  int counter = blinkCounter.load() + 1;
  if (counter >= kBlinkCycle) counter = 0;
  blinkCounter = counter;
  view.SetClockText(Indicator(counter));
  return 1;
}

}  // namespace kelmo
