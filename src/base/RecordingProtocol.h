#pragma once

#include <atomic>
#include <cstdint>

#include "base/AppState.h"
#include "base/RecordingProgramTable.h"

namespace kelmo {

// Where the one-second tick, the STOP button and the two recording callbacks (the wave reader and
// the capture thread) meet. It owns no state of its own beyond two flags: it moves the shared words
// (the first program's `armed`, `programCount`, `shutdownWhenFinished`, and AppState's
// `programStarted`, `recordingFinished`, `recordingStopped`) through their states:
//
//   idle       no program, or the first one disarmed with no stop asked for
//   waiting    armed, not started              -> the tick starts it at its start time
//   recording  armed, started                  -> a callback sees the end time: finishing
//   finishing  recordingFinished, not stopped  -> the tick stops the recording
//   stopped    recordingFinished and stopped   -> the tick removes the first program
//
// Every word is a single atomic, written whole and without a lock; a change made in the middle of
// a tick is acted on by the next one.
class RecordingProtocol {
 public:
  RecordingProtocol(AppState& state, RecordingProgramTable& table) : state(state), table(table) {}

  // --- The recording callbacks, on their own threads ---

  // The test each callback makes on every call (each wave buffer, also while only monitoring;
  // each capture status): when the first program is armed and its end time has come, disarm it and
  // ask the tick to stop the recording. True when this call did so (only one caller ever does).
  bool EndTimeSeen(int64_t now);

  // The video capture has ended (its last status). When the schedule asked for the end, marks the
  // recording stopped. When the user ended it (STOP, the right click, the abort key) the whole
  // schedule is dropped. When it failed by itself (its file, the disk, the device) the program it
  // recorded is finished, and the programs behind it and the shutdown stay. True in these two
  // cases: the caller then enables REC. (with the focus) and disables STOP. A capture ended only
  // to make way for another recording changes nothing.
  bool CaptureEnded();

  // --- The user-interface thread ---

  // The user's STOP of a sound recording, or of nothing: unless a stop is already pending, drops
  // the whole schedule (no programs, no shutdown) and asks the tick to stop the recording. True
  // when it did.
  bool UserStopped();

  // Around the stop of a running recording that another one replaces (a program falling due during
  // a hand-started recording): its end neither marks the program's recording stopped nor drops
  // the schedule.
  void BeginReplacing() { replacing = 1; }
  void EndReplacing() { replacing = 0; }
  // Around the user's end of a video capture (STOP, the right click, the abort key): its end
  // cancels the schedule.
  void BeginUserEnd() { userEnding = 1; }
  void EndUserEnd() { userEnding = 0; }

  // The tick, step by step.
  bool Waiting() const;  // the first program is armed and not started
  void ProgramStarting() { state.programStarted = 1; }
  bool StopAsked() const { return state.recordingFinished != 0; }
  bool Stopped() const { return state.recordingStopped != 0; }
  // A sound recording is over as soon as it is stopped.
  void MarkStopped() { state.recordingStopped = 1; }
  // A started program that nothing records (its start failed) and whose end has come is finished
  // as a recording callback would have finished it. True when it was.
  bool EndUnrecordedProgram(int64_t now, bool somethingRecords);
  // Removes the stopped first program, arms the next and clears the flags. True when no program
  // is left (the moment of the shutdown, when one was asked for).
  bool RemoveStoppedProgram();

  // The Recording Programs dialog's OK, after ValidateAndArm: ends the editing. When the program
  // that was recording has been deleted in it, its recording is stopped as at its end time, and
  // the program that now holds the first slot stays there for the tick to start at its own time.
  void ProgramsConfirmed();

  // The table changed without the dialog (a removal, a cancelled schedule): the tick saves it.
  // Returns the flag and clears it.
  bool TakeTableChanged() { return tableChanged.exchange(0) != 0; }

 private:
  void DropSchedule();

  AppState& state;
  RecordingProgramTable& table;
  std::atomic<int32_t> replacing{0};
  std::atomic<int32_t> userEnding{0};
  std::atomic<int32_t> tableChanged{0};
  // The program whose recording is being stopped has left the table already.
  std::atomic<int32_t> firstRemoved{0};
};

}  // namespace kelmo
