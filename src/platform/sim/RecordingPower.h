#pragma once

#include <atomic>

#include "platform/Power.h"

namespace kelmo {

// Stands in for the system's power-off in simulated runs and tests: it counts the requests and
// tells on stderr, and never touches the machine.
class RecordingPower final : public Power {
 public:
  void Shutdown() override;
  int ShutdownCount() const { return count.load(); }

 private:
  std::atomic<int> count{0};
};

}  // namespace kelmo
