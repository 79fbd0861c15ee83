#pragma once

#include <cstdint>

#include "base/AppState.h"
#include "base/RecordingProgramTable.h"
#include "platform/Clock.h"
#include "platform/Messages.h"

namespace kelmo {

// The rules of the program table, as the Recording Programs dialog and the start-up apply them.
// User-interface thread.

// A new program as the dialog first shows it: not armed, the AVI frame rate and the current channel
// of `state`, TV, not tuned, starting at the next whole minute after `now`, 5 minutes long.
void InitDefaultProgram(RecordingProgram& slot, const AppState& state, int64_t now);

// Start, end and duration of `slot` from the dialog's date (its year, month, day), time of day
// (its hour and minute; seconds 0) and duration in hours and minutes, in local time.
void ComposeProgram(RecordingProgram& slot, const LocalTime& date, const LocalTime& timeOfDay,
                    int32_t hours, int32_t minutes, const Clock& clock);

// The dialog's OK: sorts the programs by start (a selection sort with exchanges; the lowest slot
// wins a tie), eliminates, each with its message and its 1-based place among the programs still
// in the table, those whose start is not after `now`, then those of no duration and those longer
// than a day (the longest a stored program holds), and arms the rest. A program that is recording
// (slot 0 while `programStarted`) keeps its slot and is not tested for its start, so its recording
// is neither lost nor left running into the next program; once it has been deleted
// (RecordingProgramTable::DeleteProgram) every program is tested.
void ValidateAndArm(RecordingProgramTable& table, const AppState& state, int64_t now,
                    Messages& messages);

// The same for programs read back at start-up: a program is eliminated (with the past-start
// message) only when its end has come, so one whose start has passed records the rest of its
// span; one of no duration, or longer than a day, is eliminated with its duration message.
void ArmRestoredPrograms(RecordingProgramTable& table, int64_t now, Messages& messages);

}  // namespace kelmo
