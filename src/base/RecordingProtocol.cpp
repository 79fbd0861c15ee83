#include "base/RecordingProtocol.h"

#include "base/Log.h"

namespace kelmo {

bool RecordingProtocol::EndTimeSeen(int64_t now) {
  RecordingProgram& first = table.programs[0];
  if (first.armed != 1 || first.endTime > now) return false;
  uint32_t armed = 1;
  // Both callbacks may look at once; only the one that disarms raises the request.
  if (!first.armed.compare_exchange_strong(armed, 0)) return false;
  state.recordingFinished = 1;
  LogInfo("schedule", "the program's end time has come");
  return true;
}

bool RecordingProtocol::CaptureEnded() {
  if (replacing != 0) return false;
  if (state.recordingFinished != 0) {
    state.recordingStopped = 1;
    return false;
  }
  if (userEnding != 0) {
    LogInfo("schedule", "the user ended the capture: the schedule is cancelled");
    state.recordingStopped = 1;
    DropSchedule();
    return true;
  }
  // The capture failed for a reason of its own (its file, the disk, the device) and has said so:
  // the program it recorded is over, the programs behind it and the shutdown stay.
  if (state.programStarted != 0) {
    LogWarning("schedule", "the program's capture failed: it ends, the schedule goes on");
    table.programs[0].armed = 0;
    state.recordingStopped = 1;
    state.recordingFinished = 1;
  }
  return true;
}

bool RecordingProtocol::UserStopped() {
  if (state.recordingFinished != 0) return false;
  LogInfo("schedule", "the user's STOP: the schedule is cancelled");
  DropSchedule();
  return true;
}

void RecordingProtocol::DropSchedule() {
  table.programCount = 0;
  state.shutdownWhenFinished = 0;
  table.programs[0].armed = 0;
  state.recordingFinished = 1;
  tableChanged = 1;
}

bool RecordingProtocol::Waiting() const {
  // A program the table no longer holds never starts, whatever its slot still says.
  return table.programCount > 0 && table.programs[0].armed != 0 && state.programStarted == 0;
}

bool RecordingProtocol::EndUnrecordedProgram(int64_t now, bool somethingRecords) {
  if (state.programStarted == 0 || somethingRecords || state.recordingFinished != 0) return false;
  return EndTimeSeen(now);
}

bool RecordingProtocol::RemoveStoppedProgram() {
  bool armNext = false;
  if (firstRemoved.exchange(0) != 0) {
    // The dialog deleted the program that recorded: the first slot already holds the next one.
    armNext = table.programCount != 0;
  } else {
    const int32_t count = table.programCount;
    const bool deleted = table.RecordingProgramDeleted();
    // Only a confirmed program runs next; one the open dialog has just added waits for its OK.
    const int32_t next = deleted ? 0 : 1;
    armNext = next < count && table.programs[static_cast<std::size_t>(next)].armed != 0;
    // The next program stays disarmed while it moves into the first slot and until the flags are
    // clear, so no callback acts on a half-moved program or has its request wiped.
    table.programs[0].armed = 0;
    table.programs[static_cast<std::size_t>(next)].armed = 0;
    if (count != 0 || deleted) {
      table.RemoveFinishedProgram();
      tableChanged = 1;
    }
  }
  state.programStarted = 0;
  state.recordingStopped = 0;
  state.recordingFinished = 0;
  if (armNext && table.programCount != 0) table.programs[0].armed = 1;
  return table.programCount == 0;
}

void RecordingProtocol::ProgramsConfirmed() {
  if (table.RecordingProgramDeleted() && state.programStarted != 0) {
    LogInfo("schedule", "the recording program was deleted: its recording stops");
    // The program in the first slot has not started: no recording callback may end it.
    table.programs[0].armed = 0;
    firstRemoved = 1;
    state.recordingFinished = 1;
  }
  table.EndEditing();
}

}  // namespace kelmo
