#include "schedule/ProgramText.h"

#include <cstdio>

#include "base/ChannelText.h"

namespace kelmo {
namespace {

// Nothing for an index outside the table: a hand-edited profile shows no channel.
template <typename Table>
std::string ChannelName(const Table& table, int32_t index) {
  if (!table.IsValidIndex(index)) return {};
  return ChannelDisplayText(table.entries[static_cast<std::size_t>(index)].name);
}

// What a program records, numbered from 1 as the channel lists show it.
std::string ProgramChannel(const RecordingProgram& program, const ChannelTables& channels) {
  if (program.recordFromChannel == 0) return "the tuned channel";
  const bool tv = program.isTv != 0;
  const std::string name = tv ? ChannelName(channels.tv, program.channelIndex)
                              : ChannelName(channels.fm, program.channelIndex);
  return (tv ? "TV " : "FM ") + std::to_string(program.channelIndex + 1) +
         (name.empty() ? "" : ": " + name);
}

}  // namespace

std::string DescribeProgram(const RecordingProgram& program, const Clock& clock,
                            const ChannelTables& channels, const DateFormat& dates) {
  const LocalTime start = clock.ToLocal(program.startTime);
  const std::string date = dates.Date(start);
  const int32_t d = program.durationSeconds;
  const int hours = d / 3600;
  const int minutes = d / 60 % 60;
  char text[256];
  if (hours != 0) {
    std::snprintf(text, sizeof text,
                  "Recording Start: %s at %02i:%02i hours - End: %i h. %i min. after", date.c_str(),
                  start.hour, start.minute, hours, minutes);
  } else {
    std::snprintf(text, sizeof text, "Recording Start: %s at %02i:%02i hours - End: %i min. after",
                  date.c_str(), start.hour, start.minute, minutes);
  }
  return text + (" - " + ProgramChannel(program, channels));
}

std::array<std::string, 3> FormatProfileRow(const RecordingProfile& profile,
                                            const ChannelTables& channels) {
  std::array<std::string, 3> row;
  if (profile.recordFromChannel == 0) {
    row[0] = "(current)";
  } else if (profile.isTv != 0) {
    row[0] = ChannelName(channels.tv, profile.channelIndex);
  } else {
    row[0] = ChannelName(channels.fm, profile.channelIndex);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%02i:%02i", profile.startHour, profile.startMinute);
  row[1] = text;
  if (profile.durationHours < 1)
    std::snprintf(text, sizeof text, "%i minutes", profile.durationMinutes);
  else
    std::snprintf(text, sizeof text, "%i:%02i hours", profile.durationHours,
                  profile.durationMinutes);
  row[2] = text;
  return row;
}

}  // namespace kelmo
