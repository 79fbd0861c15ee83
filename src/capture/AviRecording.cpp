#include "capture/AviRecording.h"

#include "capture/CaptureFileName.h"

namespace kelmo {
namespace {

constexpr int kPreviewRateMs = 40;
constexpr int kBlinkCycle = 45;  // status messages per cycle of the indicator

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

bool AviRecording::IsRecording() const {
  CaptureWindow* window = capture.Window();
  return window != nullptr && window->GetStatus().fCapturingNow;
}

int AviRecording::CaptureStatusCallback(int id, const std::string& text) {
  protocol.EndTimeSeen(clock.Now());
  if (id == kCapStatusEnd) {
    if (protocol.CaptureEnded()) {
      view.SetRecEnabled(true);
      view.FocusRec();
      view.SetStopEnabled(false);
    }
    const int last = lastStatusId.load();
    if (last == kCapStatusStatsAudio || last == kCapStatusStatsNoAudio) return 1;
  }
  lastStatusId = id;
  view.SetStatusLine(text);
  int counter = blinkCounter.load() + 1;
  if (counter >= kBlinkCycle) counter = 0;
  blinkCounter = counter;
  view.SetClockText(Indicator(counter));
  return 1;
}

}  // namespace kelmo
