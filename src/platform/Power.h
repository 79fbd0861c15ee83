#pragma once

#include <string>

namespace kelmo {

// What became of a request to the system's power management.
struct PowerResult {
  enum class Kind {
    Done,     // the system took the request
    Refused,  // the power manager answered no (a policy, another program's block)
    Absent,   // no power manager to ask (no system bus, no logind)
  };
  Kind kind = Kind::Done;
  std::string detail;  // why it was not done, in words for the user; empty when Done

  bool Ok() const { return kind == Kind::Done; }
};

// Shutting the computer down after the last scheduled recording, or from "Exit and Shutdown", and
// keeping it awake while it records.
class Power {
 public:
  virtual ~Power() = default;

  // User-interface thread, only after the main window's destruction has saved the settings and
  // closed every file. Asks the system to power off and returns without waiting for it. When the
  // power manager refuses or is absent, the result says why and the fallback command has been
  // started instead.
  [[nodiscard]] virtual PowerResult Shutdown() = 0;

  // User-interface thread. Holds the system's lock against sleep and idle with `why` as its
  // reason, taking it or replacing its reason; an empty `why` releases it. A lock that cannot be
  // taken leaves none held and says why.
  [[nodiscard]] virtual PowerResult Inhibit(const std::string& why) = 0;
};

}  // namespace kelmo
