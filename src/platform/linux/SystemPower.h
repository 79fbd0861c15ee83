#pragma once

#include <string>
#include <vector>

#include "platform/Power.h"

namespace kelmo {

// Powers the machine off with a command: `systemctl poweroff --no-ask-password`, started directly
// (no shell) and not waited for. KELMO_SHUTDOWN_COMMAND, when set, replaces the command: its words
// (split at blanks, no shell quoting) are run instead. It has no lock against sleep. The fallback
// where the power manager cannot be asked over the system bus.
class SystemPower final : public Power {
 public:
  PowerResult Shutdown() override;
  PowerResult Inhibit(const std::string& why) override;

  // The command Shutdown runs, as argv words.
  static std::vector<std::string> Command();
};

}  // namespace kelmo
