#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kelmo {

// One scheduled recording. Instants are 64-bit seconds since 1970-01-01 00:00 UTC.
// `armed` and `endTime` of the first program are read by the recording callbacks on their own
// threads, so they are atomics; the other fields are the user-interface thread's.
struct RecordingProgram {
  std::atomic<uint32_t> armed{0};  // 1: the schedule is live for this program
  int32_t frameRate = 25;          // AVI frames per second, 1..30
  uint32_t recordFromChannel = 0;  // 1: tune channelIndex first; 0: record what is tuned
  uint32_t isTv = 1;               // channelIndex is in the TV table (1) or the FM table (0)
  int32_t channelIndex = 0;
  int64_t startTime = 0;
  std::atomic<int64_t> endTime{0};  // startTime + durationSeconds
  int32_t durationSeconds = 0;

  RecordingProgram() = default;
  RecordingProgram(const RecordingProgram& other) { *this = other; }
  // Copies every field, disarmed while it does and `armed` last, so a reader that sees it set
  // finds the rest in place.
  RecordingProgram& operator=(const RecordingProgram& other);
};

inline constexpr int32_t kMaxPrograms = 10;

// The recording programs: slots 0 .. programCount-1 are the programs (sorted by start and armed
// once the Recording Programs dialog is confirmed; only slot 0 is ever run), slot programCount is
// the dialog's edit slot. programCount is read by the recording callbacks, hence atomic.
struct RecordingProgramTable {
  std::array<RecordingProgram, kMaxPrograms + 1> programs;
  std::atomic<int32_t> programCount{0};

  // The table as the dialog found it, for its Cancel.
  std::array<RecordingProgram, kMaxPrograms + 1> savedPrograms;
  int32_t savedProgramCount = 0;

  // Moves the programs after `index` down by one place and shortens the table. The slot left
  // behind is disarmed, so a removed program never starts. An index outside the programs does
  // nothing. User-interface thread.
  void RemoveProgram(int32_t index);

  // The schedule's removal of the first program once its recording has stopped. While the dialog
  // is open its copy for Cancel loses it too, and the live table only when the dialog has not
  // deleted it already. User-interface thread.
  void RemoveFinishedProgram();

  // The Recording Programs dialog edits this live table while the timer keeps ticking and the
  // schedule starts and removes programs under it. Opening it keeps a copy for Cancel.
  // User-interface thread.
  void BeginEditing();
  // Cancel: the table as it was at BeginEditing, less the programs the schedule has finished
  // since.
  void CancelEditing();
  // OK, after ValidateAndArm (RecordingProtocol::ProgramsConfirmed calls it).
  void EndEditing() {
    editing = false;
    recordingProgramDeleted = false;
  }
  bool Editing() const { return editing; }

  // The dialog's Delete Program. `firstRecords`: slot 0 is the program whose recording runs;
  // deleting it is remembered until the editing ends, so that OK can end that recording.
  void DeleteProgram(int32_t index, bool firstRecords);
  bool RecordingProgramDeleted() const { return recordingProgramDeleted; }

 private:
  bool editing = false;
  bool recordingProgramDeleted = false;
};

}  // namespace kelmo
