#pragma once

#include <cstdint>
#include <optional>

#include "audio/AudioFormatSettings.h"
#include "base/AppState.h"
#include "base/ChannelTables.h"
#include "base/MainWindowView.h"
#include "base/Recorder.h"
#include "base/RecordingNote.h"
#include "base/RecordingProtocol.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "platform/Messages.h"

namespace kelmo {

// The recorders the program has. Either may be null while that kind of recording is not part of
// the program: REC. then does everything up to starting it. Not owned.
struct Recorders {
  SoundRecorder* sound = nullptr;
  Recorder* video = nullptr;
};

// REC., STOP and level: the main window's recording buttons and menu items, and the schedule's
// way of starting and stopping programs. The current mode decides what REC. starts (TV: a video
// recording, FM: a sound recording); STOP acts on the recording that actually runs, whatever the
// tuner is set to now. User-interface thread.
class RecordingControls {
 public:
  RecordingControls(AppState& state, RecordingProtocol& protocol,
                    const AudioFormatSettings& formats, CaptureDriver& capture, const Clock& clock,
                    Messages& messages, MainWindowView& view, Recorders recorders = {})
      : state(state),
        protocol(protocol),
        formats(formats),
        capture(capture),
        clock(clock),
        messages(messages),
        view(view),
        recorders(recorders) {}

  void SetRecorders(Recorders r) { recorders = r; }
  // The note every recording's REC. begins (its time and channel; the recorders complete it),
  // read from `channels`. Without one no notes are kept.
  void KeepNotes(RecordingNote& recordingNote, const ChannelTables& channelTables) {
    note = &recordingNote;
    channels = &channelTables;
  }

  // REC. (and "Start AVI Capture", "Start Wav Capture", a program falling due). Names the file,
  // ends a recording or a monitoring input that runs, then starts the recording of the current
  // mode. In FM mode the two sound formats must be set (both messages can appear, input first).
  // A recording that will not fit in the capture folder's free space (ten minutes of it, or
  // `programSeconds` for a program's start) is told first (a program's start only in the log:
  // its user was told when the schedule was armed), and starts all the same. A program's start
  // opens no dialog.
  void OnRec(std::optional<int64_t> programSeconds = std::nullopt);

  // STOP (and the schedule's stop). A video recording is ended at once; its end drops the schedule
  // unless the schedule asked for it. Otherwise the first STOP drops the schedule and asks for the
  // stop, which the next tick completes by calling OnStop again: then the wave input stops and the
  // buttons go back.
  void OnStop();

  // The level button: the meter on (starting the wave input without a file when it does not run)
  // or off (the input keeps running until the next REC. or exit).
  void OnLevel();

  // A meter that is on stays on across recordings: a recording feeds it with the sound it reads,
  // and once none runs the wave input monitors again. STOP calls it, and the tick, for a video
  // recording that ended by itself.
  void ResumeMonitoring();

  bool SoundRecording() const { return recorders.sound && recorders.sound->IsRecording(); }
  bool VideoRecording() const { return recorders.video && recorders.video->IsRecording(); }
  bool Recording() const { return SoundRecording() || VideoRecording(); }

 private:
  bool SoundFormatsSet();
  void ShowRecordingButtons();
  void ShowIdleButtons();
  void BeginNote();

  AppState& state;
  RecordingProtocol& protocol;
  const AudioFormatSettings& formats;
  CaptureDriver& capture;
  const Clock& clock;
  Messages& messages;
  MainWindowView& view;
  Recorders recorders;
  RecordingNote* note = nullptr;
  const ChannelTables* channels = nullptr;
};

}  // namespace kelmo
