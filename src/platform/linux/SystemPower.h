#pragma once

#include <string>
#include <vector>

#include "platform/Power.h"

namespace kelmo {

// Powers the machine off through logind: `systemctl poweroff --no-ask-password`, started directly
// (no shell) and not waited for. KELMO_SHUTDOWN_COMMAND, when set, replaces the command: its words
// (split at blanks, no shell quoting) are run instead.
class SystemPower final : public Power {
 public:
  void Shutdown() override;

  // The command Shutdown runs, as argv words.
  static std::vector<std::string> Command();
};

}  // namespace kelmo
