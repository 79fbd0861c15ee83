#pragma once

#include <array>
#include <string>

#include "base/ChannelTables.h"
#include "base/RecordingProgramTable.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "schedule/RecordingProfiles.h"

namespace kelmo {

// A program as its row in the program list and the schedule line show it: the date of its start
// in the user's locale, the local time of its start, its duration in hours and minutes, and what
// it records ("Recording Start: 07.12.2026 at 10:30 hours - End: 1 h. 30 min. after - TV 3: Uno";
// the minutes alone when under an hour; "- the tuned channel" when it records what is tuned; the
// channel's number alone when it is no longer in its table).
std::string DescribeProgram(const RecordingProgram& program, const Clock& clock,
                            const ChannelTables& channels, const DateFormat& dates);

// A profile's row: channel ("(current)" when it records what is tuned; the channel's name, or
// nothing when the index is outside its table), start "HH:MM", duration ("45 minutes", "1:05
// hours").
std::array<std::string, 3> FormatProfileRow(const RecordingProfile& profile,
                                            const ChannelTables& channels);

}  // namespace kelmo
