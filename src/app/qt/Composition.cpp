#include "app/qt/Composition.h"

#include "app/DataDirectory.h"
#include "capture/sim/SimCaptureWindow.h"
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
  const auto exeDir = ExecutableDirectory();
  const auto dataDir = ResolveDataDirectory(exeDir, options.dataDir);
  backends += "data: " + dataDir.string() + "\n";
  const std::vector<std::string> cards = CardLibraryCandidates(options.cardLibrary, exeDir);
  backends += "card: first of " + Join(cards) + "\n";
  // No real capture driver exists yet: the simulated one holds the capture formats.
  captureWindow = std::make_unique<SimCaptureWindow>();
  backends += "capture: simulated test-pattern driver\n";

  ctx = std::make_unique<KelmoContext>(*clock, messages, *power, *shell, dataDir);
  ctx->backends = backends;
  ctx->card.SetCandidates(cards);
  ctx->capture.SetWindow(captureWindow.get());
}

Composition::~Composition() = default;

}  // namespace kelmo
