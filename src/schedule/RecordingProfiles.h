#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Clock.h"

namespace kelmo {

// A preset of the Recording Programs dialog: a program's settings with a time of day instead of a
// date. Fields as in RecordingProgram.
struct RecordingProfile {
  int32_t frameRate = 25;
  int32_t recordFromChannel = 0;
  int32_t isTv = 1;
  int32_t channelIndex = 0;
  int32_t startHour = 0;        // 0..23
  int32_t startMinute = 0;      // 0..59
  int32_t durationHours = 0;    // 0..24
  int32_t durationMinutes = 0;  // 0..59
};

inline constexpr int32_t kMaxProfiles = 10;
// Bytes of one profile in "ProfilesData": the eight fields, little-endian 32-bit, in order.
inline constexpr std::size_t kProfileBytes = 32;

// The profiles: rows 0 .. profileCount-1 of the dialog's profile list, in order.
struct RecordingProfileTable {
  std::array<RecordingProfile, kMaxProfiles> profiles{};
  int32_t profileCount = 0;
};

// The instant that applying `profile` at `now` puts into the date and time fields: today at its
// start hour and minute, or tomorrow (86400 seconds later) when that has passed.
int64_t NextStartFromProfile(const RecordingProfile& profile, int64_t now, const Clock& clock);

// What "ProfilesCount" and "ProfilesData" hold, as read from the settings. A count above 10 lists
// no profiles (a negative one stays and lists none); a block of exactly 32 bytes a profile replaces
// the profiles, any other block (or none) leaves the profiles in memory as they were.
void ApplyStoredProfiles(RecordingProfileTable& table, int32_t storedCount,
                         const std::optional<std::vector<uint8_t>>& block);

// The first `count` profiles as "ProfilesData" holds them.
std::vector<uint8_t> EncodeProfiles(const RecordingProfileTable& table, int32_t count);

}  // namespace kelmo
