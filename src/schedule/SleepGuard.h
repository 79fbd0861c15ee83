#pragma once

#include <cstdint>
#include <string>

#include "audio/AudioFormatSettings.h"
#include "base/AppState.h"
#include "base/RecordingProgramTable.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "platform/Power.h"
#include "schedule/RecordingControls.h"

namespace kelmo {

// Keeps the computer from sleeping while a recording runs, and from two minutes before a program
// is due until it has started: a laptop that suspends mid-program loses the recording. Holds the
// power manager's sleep and idle lock, with a reason naming the recording, and lets it go as soon
// as nothing records or waits. User-interface thread, once a second after the schedule's tick.
class SleepGuard {
 public:
  // How long before a program's start the lock is taken.
  static constexpr int64_t kLeadSeconds = 120;

  SleepGuard(const AppState& state, const RecordingProgramTable& table,
             const RecordingControls& controls, const CaptureDriver& capture,
             const AudioFormatSettings& formats, const Clock& clock, Power& power)
      : state(state),
        table(table),
        controls(controls),
        capture(capture),
        formats(formats),
        clock(clock),
        power(power) {}

  // The lock's reason right now ("Recording Kelmo.07_21.30.00.avi", "Recording due at 21:30"), or
  // empty when none should be held.
  std::string Reason(int64_t now) const;

  // Takes, changes or releases the lock to match Reason, and logs what became of it. A lock the
  // power manager refuses is asked for again only when the reason changes.
  void Update();

 private:
  std::string RecordingName() const;

  const AppState& state;
  const RecordingProgramTable& table;
  const RecordingControls& controls;
  const CaptureDriver& capture;
  const AudioFormatSettings& formats;
  const Clock& clock;
  Power& power;
  std::string asked;  // the reason last asked for
};

}  // namespace kelmo
