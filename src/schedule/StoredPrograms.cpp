#include "schedule/StoredPrograms.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace kelmo {

std::vector<uint8_t> EncodePrograms(const RecordingProgramTable& table) {
  std::vector<uint8_t> block;
  const int32_t count = table.programCount;
  for (int32_t i = 0; i < count && i < kMaxPrograms; ++i) {
    const RecordingProgram& p = table.programs[static_cast<std::size_t>(i)];
    // Programs the dialog holds unconfirmed, and one whose recording has finished, are not kept.
    if (p.armed != 1) continue;
    AppendLe32(block, p.frameRate);
    AppendLe32(block, static_cast<int32_t>(p.recordFromChannel));
    AppendLe32(block, static_cast<int32_t>(p.isTv));
    AppendLe32(block, p.channelIndex);
    AppendLe64(block, p.startTime);
    AppendLe32(block, p.durationSeconds);
    AppendLe32(block, 0);
  }
  return block;
}

int32_t DecodePrograms(RecordingProgramTable& table, std::span<const uint8_t> block) {
  const auto storedCount =
      static_cast<int32_t>(std::min<std::size_t>(block.size() / kStoredProgramBytes, kMaxPrograms));
  for (int32_t k = 0; k < storedCount; ++k) {
    const uint8_t* b = block.data() + kStoredProgramBytes * static_cast<std::size_t>(k);
    RecordingProgram& p = table.programs[static_cast<std::size_t>(k)];
    p.armed = 0;
    const int32_t frameRate = ReadLe32(b);
    p.frameRate = frameRate >= 1 && frameRate <= 30 ? frameRate : 25;
    p.recordFromChannel = ReadLe32(b + 4) != 0 ? 1 : 0;
    p.isTv = ReadLe32(b + 8) != 0 ? 1 : 0;
    p.channelIndex = ReadLe32(b + 12);
    p.startTime = ReadLe64(b + 16);
    p.durationSeconds = ReadLe32(b + 24);
    // Wraps instead of overflowing for a hand-made start near the end of time; such a program
    // is eliminated for its duration or its start anyway.
    p.endTime =
        static_cast<int64_t>(static_cast<uint64_t>(p.startTime) +
                             static_cast<uint64_t>(static_cast<int64_t>(p.durationSeconds)));
  }
  table.programCount = storedCount;
  return storedCount;
}

}  // namespace kelmo
