#pragma once

#include <atomic>
#include <string>

#include "audio/LevelMeter.h"
#include "base/AppState.h"
#include "base/MainWindowView.h"
#include "base/Recorder.h"
#include "base/RecordingNote.h"
#include "base/RecordingProtocol.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/Shell.h"

namespace kelmo {

// TV recording into an AVI file through the capture window: the capture directory, the checks and
// parameters of a start, the stop, and the capture status callback with its blinking indicator.
// User-interface thread, except CaptureStatusCallback (the capture thread).
class AviRecording final : public Recorder {
 public:
  AviRecording(CaptureDriver& capture, AppState& state, RecordingProtocol& protocol,
               Messages& messages, MainWindowView& view, Clock& clock)
      : capture(capture),
        state(state),
        protocol(protocol),
        messages(messages),
        view(view),
        clock(clock),
        meter(state, view) {}

  // The note each recording completes (its file, formats, counts and end) and writes at its end.
  void KeepNotes(RecordingNote& recordingNote) { note = &recordingNote; }

  // The folder browser, opening on saveDir; the chosen folder (with its '/') replaces it, then the
  // capture file name is rebuilt.
  void ChooseCaptureDirectory(Shell& shell);

  // The checks (sound format, video format, compression: each with its message), the capture
  // parameters, and the start. With no compressor chosen in this run, the user's start opens the
  // compression dialog; the schedule's takes the one stored in the settings and, with none
  // stored, records nothing. True when a capture now runs.
  bool StartAviCapture(StartedBy by = StartedBy::User);
  // Ends the capture (what was captured stays in the file) and waits for it.
  void StopAviCapture();

  // The capture window's status callback: ends a scheduled recording whose time is up, marks the
  // end of a capture, shows the text and steps the indicator. Always 1.
  int CaptureStatusCallback(int id, const std::string& text);
  // Installs the capture status callback and the wave stream callback: the level meter that is
  // on follows the sound the capture records, as no other reader may open the device meanwhile.
  void ListenToCapture();

  // Recorder.
  bool StartRecording(StartedBy by = StartedBy::User) override { return StartAviCapture(by); }
  void StopRecording() override { StopAviCapture(); }
  bool IsRecording() const override;

 private:
  CaptureDriver& capture;
  AppState& state;
  RecordingProtocol& protocol;
  Messages& messages;
  MainWindowView& view;
  Clock& clock;
  LevelMeter meter;
  void NoteStart(CaptureWindow& window);
  void NoteEnd();
  // The ended capture's saved line, kept on the status line till the next action.
  void ShowSaved();

  RecordingNote* note = nullptr;
  std::atomic<int> lastStatusId{0};
  std::atomic<int> blinkCounter{0};
  std::string statistics;  // the last capture's closing statistics; the capture thread's
};

}  // namespace kelmo
