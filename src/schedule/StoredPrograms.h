#pragma once

#include <cstdint>
#include <span>
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
// (ArmRestoredPrograms does that): every whole 32-byte program of the block, up to 10; the bytes
// of a cut program after them are left out. A frame rate outside 1..30 becomes 25 and a nonzero
// flag 1. Returns the number of programs put in.
int32_t DecodePrograms(RecordingProgramTable& table, std::span<const uint8_t> block);

}  // namespace kelmo
