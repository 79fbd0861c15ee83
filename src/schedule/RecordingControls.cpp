#include "schedule/RecordingControls.h"

#include "base/ChannelText.h"
#include "capture/CaptureFileName.h"
#include "schedule/RecordingSpace.h"

namespace kelmo {

void RecordingControls::OnRec(std::optional<int64_t> programSeconds) {
  // Only the user is there to answer a dialog.
  const StartedBy by = programSeconds ? StartedBy::Schedule : StartedBy::User;
  state.savedLine.Release();
  BuildCaptureFileName(capture, state.saveDir, clock);
  const bool tv = state.tvMode != 0;
  if (!tv && !SoundFormatsSet()) return;
  const auto shortfall =
      CheckRoomForRecording(state.saveDir, tv, state.frameRate,
                            programSeconds.value_or(kRecSecondsForRoom), capture, formats);
  if (shortfall && !programSeconds) messages.Show(*shortfall);

  // One recording at a time: a running one (a hand-started recording when a program falls due)
  // is ended, its file closed and valid, without counting as the user's STOP; its note says the
  // schedule ended it.
  if (programSeconds && note && Recording()) note->EndedBy(RecordingEnd::Schedule);
  if (VideoRecording()) {
    protocol.BeginReplacing();
    recorders.video->StopRecording();
    protocol.EndReplacing();
  }
  // The device has one owner: the recording takes it over, and a meter that is on follows the
  // recording's sound.
  SoundRecorder* sound = recorders.sound;
  if (sound && sound->InputRunning()) sound->StopInput();

  BeginNote();
  if (tv) {
    if (recorders.video && recorders.video->StartRecording(by)) ShowRecordingButtons();
    return;
  }
  // A sound start that fails has told the user; the buttons still show a recording, and STOP
  // brings them back.
  if (sound) sound->StartRecording(by);
  ShowRecordingButtons();
}

void RecordingControls::BeginNote() {
  if (!note || !channels) return;
  note->Begin(clock.Now(), state.recordingNotes != 0);
  const bool tv = state.tvMode != 0;
  note->input = tv ? "TV tuner" : "FM radio";
  const ChannelEntry* entry = nullptr;
  if (tv && channels->tv.IsValidIndex(state.currentChannel))
    entry = &channels->tv.entries[state.currentChannel];
  if (!tv && channels->fm.IsValidIndex(state.currentChannel))
    entry = &channels->fm.entries[state.currentChannel];
  if (!entry) return;
  // Numbered from 1, as the channel lists show them.
  note->channel = std::to_string(state.currentChannel + 1) + " " + ChannelDisplayText(entry->name);
  note->frequency = entry->frequency;
}

bool RecordingControls::SoundFormatsSet() {
  const bool input = formats.inputFormatSet != 0;
  if (!input) messages.Show("You didn't set Input WAV Format (Options/WAV Capture Options)");
  if (formats.compressionFormatSet == 0) {
    messages.Show("You didn't set Compression WAV Format (Options/WAV Capture Options)");
    return false;
  }
  return input;
}

void RecordingControls::OnStop() {
  if (VideoRecording()) {
    protocol.BeginUserEnd();
    recorders.video->StopRecording();
    protocol.EndUserEnd();
    ShowIdleButtons();
    ResumeMonitoring();
    return;
  }
  if (protocol.UserStopped()) return;  // the next tick stops the recording
  if (recorders.sound) recorders.sound->StopInput();
  ShowIdleButtons();
  ResumeMonitoring();
}

void RecordingControls::ResumeMonitoring() {
  SoundRecorder* sound = recorders.sound;
  if (state.levelMeterOn == 0 || !sound || sound->InputRunning() || Recording()) return;
  sound->StartMonitoring();
  // A device another program took meanwhile has been told once; the meter goes off rather than
  // ask again every second.
  if (!sound->InputRunning()) state.levelMeterOn = 0;
}

void RecordingControls::OnLevel() {
  state.savedLine.Release();
  if (state.levelMeterOn != 0) {
    state.levelMeterOn = 0;
    view.SetLevelText("");
    view.SetLevelMeter(0);
    return;
  }
  state.levelMeterOn = 1;
  // A video recording holds the device and feeds the meter itself.
  if (recorders.sound && !recorders.sound->InputRunning() && !VideoRecording())
    recorders.sound->StartMonitoring();
}

void RecordingControls::ShowRecordingButtons() {
  view.SetRecEnabled(false);
  view.SetStopEnabled(true);
  view.FocusStop();
}

void RecordingControls::ShowIdleButtons() {
  view.SetRecEnabled(true);
  view.FocusRec();
  view.SetStopEnabled(false);
}

}  // namespace kelmo
