#pragma once

#include <array>
#include <string>

#include "base/ChannelTables.h"
#include "base/RecordingProgramTable.h"
#include "platform/Clock.h"
#include "schedule/RecordingProfiles.h"

namespace kelmo {

// The user's locale's date ("%x" of the C library's LC_TIME) of a local calendar time.
std::string LocaleDate(const LocalTime& local);

// A program as its row in the program list and the schedule line show it: the local date and time
// of its start and its duration in hours and minutes ("Recording Start: <date> at 10:30 hours -
// End: 1 h. 30 min. after"; the minutes alone when under an hour).
std::string DescribeProgram(const RecordingProgram& program, const Clock& clock);

// A profile's row: channel ("(current)" when it records what is tuned; the channel's name, or
// nothing when the index is outside its table), start "HH:MM", duration ("45 minutes", "1:05
// hours").
std::array<std::string, 3> FormatProfileRow(const RecordingProfile& profile,
                                            const ChannelTables& channels);

}  // namespace kelmo
