#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/Power.h"

namespace kelmo {

// Stands in for the system's power management in simulated runs and tests: it counts the
// power-off requests and keeps the inhibitor lock's reasons, tells on stderr, and never touches
// the machine. `refuse` makes it answer as a power manager that says no.
class RecordingPower final : public Power {
 public:
  PowerResult Shutdown() override;
  PowerResult Inhibit(const std::string& why) override;

  int ShutdownCount() const { return count.load(); }
  // The reason of the lock held now; empty when none is held.
  const std::string& Held() const { return held; }
  // Every change of the lock, in order: a reason when taken or changed, "" when released.
  const std::vector<std::string>& History() const { return history; }

  bool refuse = false;

 private:
  std::atomic<int> count{0};
  std::string held;
  std::vector<std::string> history;
};

}  // namespace kelmo
