#include "schedule/SleepGuard.h"

#include <cstdio>

#include "base/Log.h"

namespace kelmo {

std::string SleepGuard::RecordingName() const {
  std::string name = capture.captureFileName;
  if (const auto slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
  // The sound recorder writes the same name with its own extension.
  if (controls.SoundRecording() && name.size() > 4 && name.ends_with(".avi"))
    name.replace(name.size() - 3, 3, formats.wmaOutput != 0 ? "wma" : "wav");
  return name;
}

std::string SleepGuard::Reason(int64_t now) const {
  if (controls.Recording()) return "Recording " + RecordingName();
  const RecordingProgram& first = table.programs[0];
  const bool waiting = table.programCount > 0 && first.armed != 0 && state.programStarted == 0;
  if (!waiting || first.startTime - now > kLeadSeconds) return {};
  const LocalTime start = clock.ToLocal(first.startTime);
  char text[48];
  std::snprintf(text, sizeof text, "Recording due at %02i:%02i", start.hour, start.minute);
  return text;
}

void SleepGuard::Update() {
  const std::string reason = Reason(clock.Now());
  if (reason == asked) return;
  asked = reason;
  const PowerResult result = power.Inhibit(reason);
  if (!result.Ok()) {
    LogWarning("power", "no lock against sleep (%s): %s", reason.c_str(), result.detail.c_str());
  } else if (reason.empty()) {
    LogInfo("power", "sleep lock released");
  } else {
    LogInfo("power", "sleep lock held: %s", reason.c_str());
  }
}

}  // namespace kelmo
