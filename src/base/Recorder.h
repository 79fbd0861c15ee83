#pragma once

namespace kelmo {

// Who asked for a recording: the user is there to answer a dialog, the schedule is not.
enum class StartedBy { User, Schedule };

// One kind of recording, as the recording controls (REC., STOP, the schedule) drive it: the sound
// recorder (the wave input into a WAV or WMA file) and the video recorder (an AVI capture) each
// implement it. A recorder learns nothing of the schedule from its caller: its own callback tests
// the first program's end through RecordingProtocol::EndTimeSeen, and a video recorder reports the
// end of its capture through RecordingProtocol::CaptureEnded.
class Recorder {
 public:
  virtual ~Recorder() = default;

  // User-interface thread. Starts a recording into the capture file name just built (the sound
  // recorder puts its own extension in place of "avi"). When it cannot start (a format not set, a
  // device busy) it shows its own message and returns false; true when a recording now runs. A
  // start by the schedule opens no dialog.
  virtual bool StartRecording(StartedBy by = StartedBy::User) = 0;

  // User-interface thread. Ends the running recording; nothing when none runs. When it returns
  // the file is closed and valid and no thread of the recording writes any more; a video recorder
  // has reported the end through RecordingProtocol::CaptureEnded by then (a capture that ends by
  // itself, by a right click, the abort key or an error, reports it from its own thread).
  virtual void StopRecording() = 0;

  // Any thread. True from a StartRecording that returned true until the recording has ended, by
  // StopRecording or by itself.
  virtual bool IsRecording() const = 0;
};

// The sound recorder also runs the wave input without a file, to drive the level meter.
class SoundRecorder : public Recorder {
 public:
  // User-interface thread. The wave input is open and running, recording or only monitoring.
  virtual bool InputRunning() const = 0;

  // User-interface thread. Opens the wave input without a file, in the AVI sound format, and
  // starts it; the meter and the level text follow the input. A busy device is reported by the
  // recorder's own message; nothing then runs.
  virtual void StartMonitoring() = 0;

  // User-interface thread. Stops the wave input, whatever it does (a recording's file is closed
  // first), and empties the meter and the level text. Nothing when it does not run.
  virtual void StopInput() = 0;
};

}  // namespace kelmo
