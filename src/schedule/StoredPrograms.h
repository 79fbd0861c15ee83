#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/RecordingProgramTable.h"

namespace kelmo {

// The armed programs as "ProgramsData" of config.dat holds them, so that a schedule survives a
// restart. 32 bytes a program, little-endian, in table order: 0 frameRate (int32), 4
// recordFromChannel (uint32), 8 isTv (uint32), 12 channelIndex (int32), 16 startTime (int64,
// seconds since 1970 UTC), 24 durationSeconds (int32), 28 reserved (0). "ProgramsCount" is the
// number of programs; other tools may write both.
inline constexpr std::size_t kStoredProgramBytes = 32;

// The block of the table's armed programs; their count is its size / 32.
std::vector<uint8_t> EncodePrograms(const RecordingProgramTable& table);

// Puts the stored programs into the table in place of what it holds, not yet checked nor armed
// (ArmRestoredPrograms does that). A count outside 0..10, or a block that is not exactly 32 bytes
// a program, gives no programs. A frame rate outside 1..30 becomes 25 and a nonzero flag 1.
void DecodePrograms(RecordingProgramTable& table, int32_t storedCount,
                    const std::optional<std::vector<uint8_t>>& block);

}  // namespace kelmo
