#include "base/RecordingProgramTable.h"

namespace kelmo {

RecordingProgram& RecordingProgram::operator=(const RecordingProgram& other) {
  if (this == &other) return *this;
  // A callback that looks in between sees a disarmed program, never one with a stranger's times.
  armed = 0;
  frameRate = other.frameRate;
  recordFromChannel = other.recordFromChannel;
  isTv = other.isTv;
  channelIndex = other.channelIndex;
  startTime = other.startTime;
  endTime = other.endTime.load();
  durationSeconds = other.durationSeconds;
  armed = other.armed.load();
  return *this;
}

namespace {

template <typename Slots>
void MoveDown(Slots& slots, int32_t index, int32_t count) {
  for (int32_t i = index; i + 1 < count; ++i)
    slots[static_cast<std::size_t>(i)] = slots[static_cast<std::size_t>(i + 1)];
  // The slot behind the last program is the dialog's edit slot, never a program to run.
  slots[static_cast<std::size_t>(count - 1)].armed = 0;
}

}  // namespace

void RecordingProgramTable::RemoveProgram(int32_t index) {
  const int32_t count = programCount;
  if (index < 0 || index >= count) return;
  MoveDown(programs, index, count);
  programCount = count - 1;
}

void RecordingProgramTable::RemoveFinishedProgram() {
  if (editing && savedProgramCount > 0) {
    MoveDown(savedPrograms, 0, savedProgramCount);
    --savedProgramCount;
  }
  if (recordingProgramDeleted) {
    recordingProgramDeleted = false;
  } else {
    RemoveProgram(0);
  }
}

void RecordingProgramTable::BeginEditing() {
  savedPrograms = programs;
  savedProgramCount = programCount;
  editing = true;
  recordingProgramDeleted = false;
}

void RecordingProgramTable::CancelEditing() {
  programs = savedPrograms;
  programCount = savedProgramCount;
  editing = false;
  recordingProgramDeleted = false;
}

void RecordingProgramTable::DeleteProgram(int32_t index, bool firstRecords) {
  // Once the recording program is gone, slot 0 holds one that has not started.
  if (index == 0 && firstRecords && index < programCount) recordingProgramDeleted = true;
  RemoveProgram(index);
}

}  // namespace kelmo
