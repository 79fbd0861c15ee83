#include "app/qt/Composition.h"

#include "app/DataDirectory.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/SystemPower.h"
#include "platform/qt/DesktopShell.h"
#include "platform/sim/RecordingPower.h"

namespace kelmo {
namespace {

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

}  // namespace

Composition::Composition(const CommandLine& options)
    : clock(std::make_unique<SystemClock>()), shell(std::make_unique<DesktopShell>()) {
  std::string backends = "clock: system\nmessages: Qt message boxes\nshell: desktop\n";
  if (options.sim) {
    power = std::make_unique<RecordingPower>();
    backends += "power: simulated (the machine stays on)\n";
  } else {
    power = std::make_unique<SystemPower>();
    backends += "power: " + Join(SystemPower::Command()) + "\n";
  }
  const auto dataDir = ResolveDataDirectory(ExecutableDirectory(), options.dataDir);
  backends += "data: " + dataDir.string() + "\n";
  ctx = std::make_unique<KelmoContext>(*clock, messages, *power, *shell, dataDir);
  ctx->backends = backends;
}

Composition::~Composition() = default;

}  // namespace kelmo
