#include "schedule/RecordingPrograms.h"

#include <cstdio>
#include <functional>
#include <utility>

#include "base/Log.h"

namespace kelmo {
namespace {

void SortByStart(RecordingProgramTable& table, int32_t first) {
  const int32_t count = table.programCount;
  for (int32_t i = first; i < count; ++i) {
    int32_t smallest = i;
    for (int32_t j = i + 1; j < count; ++j) {
      if (table.programs[static_cast<std::size_t>(j)].startTime <
          table.programs[static_cast<std::size_t>(smallest)].startTime)
        smallest = j;
    }
    if (smallest != i) {
      RecordingProgram held = table.programs[static_cast<std::size_t>(i)];
      table.programs[static_cast<std::size_t>(i)] =
          table.programs[static_cast<std::size_t>(smallest)];
      table.programs[static_cast<std::size_t>(smallest)] = held;
    }
  }
}

void Eliminate(RecordingProgramTable& table, int32_t i, int32_t n, const char* format,
               Messages& messages) {
  char text[160];
  std::snprintf(text, sizeof text, format, n);
  LogInfo("schedule", "program starting at %lld eliminated: %s",
          static_cast<long long>(table.programs[static_cast<std::size_t>(i)].startTime), text);
  messages.Show(text);
  table.RemoveProgram(i);
}

// The longest program: a stored program's duration holds at most a day.
constexpr int32_t kMaxDurationSeconds = 86400;

// The tests in order; `isPast` decides the first. `keep` is the recording program's slot (-1 for
// none): never tested for its start, and left armed or not as its recording has it.
void CheckAndArm(RecordingProgramTable& table, int32_t keep,
                 const std::function<bool(const RecordingProgram&)>& isPast, Messages& messages) {
  int32_t n = 1;
  for (int32_t i = 0; i < table.programCount;) {
    const RecordingProgram& p = table.programs[static_cast<std::size_t>(i)];
    if (i != keep && isPast(p)) {
      Eliminate(table, i, n,
                "Program %i eliminated. The Recording Time must be Posterior to Actual Time.",
                messages);
    } else if (p.durationSeconds <= 0) {
      Eliminate(table, i, n, "Program %i eliminated. Duration can't be zero.", messages);
    } else if (p.durationSeconds > kMaxDurationSeconds) {
      Eliminate(table, i, n, "Program %i eliminated. Duration can't be longer than 24 hours.",
                messages);
    } else {
      ++i;
      ++n;
    }
  }
  for (int32_t i = keep == 0 ? 1 : 0; i < table.programCount; ++i) {
    RecordingProgram& p = table.programs[static_cast<std::size_t>(i)];
    p.armed = 1;
    LogInfo("schedule", "program %d armed: start %lld, %d s, %s channel %d%s", i + 1,
            static_cast<long long>(p.startTime), p.durationSeconds, p.isTv != 0 ? "TV" : "FM",
            p.channelIndex, p.recordFromChannel != 0 ? "" : " (as tuned)");
  }
}

}  // namespace

void InitDefaultProgram(RecordingProgram& slot, const AppState& state, int64_t now) {
  slot.armed = 0;
  slot.frameRate = state.frameRate;
  slot.recordFromChannel = 0;
  slot.isTv = 1;
  slot.channelIndex = state.currentChannel;
  // The next whole minute (a minute is 60 seconds in every zone the C library knows of today).
  slot.startTime = now - ((now % 60) + 60) % 60 + 60;
  slot.endTime = slot.startTime;
  slot.durationSeconds = 300;
}

void ComposeProgram(RecordingProgram& slot, const LocalTime& date, const LocalTime& timeOfDay,
                    int32_t hours, int32_t minutes, const Clock& clock) {
  LocalTime start = date;
  start.hour = timeOfDay.hour;
  start.minute = timeOfDay.minute;
  start.second = 0;
  slot.startTime = clock.FromLocal(start);
  slot.durationSeconds = (hours * 60 + minutes) * 60;
  slot.endTime = slot.startTime + slot.durationSeconds;
}

void ValidateAndArm(RecordingProgramTable& table, const AppState& state, int64_t now,
                    Messages& messages) {
  // The recording program stays where the tick and the callbacks look for it, unless it was
  // deleted.
  const bool started =
      state.programStarted != 0 && table.programCount > 0 && !table.RecordingProgramDeleted();
  SortByStart(table, started ? 1 : 0);
  CheckAndArm(
      table, started ? 0 : -1, [now](const RecordingProgram& p) { return p.startTime <= now; },
      messages);
}

void ArmRestoredPrograms(RecordingProgramTable& table, int64_t now, Messages& messages) {
  SortByStart(table, 0);
  CheckAndArm(
      table, -1, [now](const RecordingProgram& p) { return p.endTime <= now; }, messages);
}

}  // namespace kelmo
