#include "schedule/RecordingProfiles.h"

#include "base/LittleEndian.h"

namespace kelmo {

int64_t NextStartFromProfile(const RecordingProfile& profile, int64_t now, const Clock& clock) {
  LocalTime today = clock.ToLocal(now);
  today.hour = profile.startHour;
  today.minute = profile.startMinute;
  today.second = 0;
  const int64_t start = clock.FromLocal(today);
  // A day is 86400 seconds, also across a change of summer time.
  return start < now ? start + 86400 : start;
}

void ApplyStoredProfiles(RecordingProfileTable& table, int32_t storedCount,
                         const std::optional<std::vector<uint8_t>>& block) {
  table.profileCount = storedCount > kMaxProfiles ? 0 : storedCount;
  if (!block || table.profileCount < 0 ||
      block->size() != kProfileBytes * static_cast<std::size_t>(table.profileCount))
    return;
  for (int32_t k = 0; k < table.profileCount; ++k) {
    const uint8_t* p = block->data() + kProfileBytes * static_cast<std::size_t>(k);
    RecordingProfile& r = table.profiles[static_cast<std::size_t>(k)];
    r.frameRate = ReadLe32(p);
    r.recordFromChannel = ReadLe32(p + 4);
    r.isTv = ReadLe32(p + 8);
    r.channelIndex = ReadLe32(p + 12);
    r.startHour = ReadLe32(p + 16);
    r.startMinute = ReadLe32(p + 20);
    r.durationHours = ReadLe32(p + 24);
    r.durationMinutes = ReadLe32(p + 28);
  }
}

std::vector<uint8_t> EncodeProfiles(const RecordingProfileTable& table, int32_t count) {
  std::vector<uint8_t> block;
  if (count > kMaxProfiles) count = kMaxProfiles;
  for (int32_t k = 0; k < count; ++k) {
    const RecordingProfile& r = table.profiles[static_cast<std::size_t>(k)];
    for (int32_t v : {r.frameRate, r.recordFromChannel, r.isTv, r.channelIndex, r.startHour,
                      r.startMinute, r.durationHours, r.durationMinutes})
      AppendLe32(block, v);
  }
  return block;
}

}  // namespace kelmo
