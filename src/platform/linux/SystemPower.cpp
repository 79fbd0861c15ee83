#include "platform/linux/SystemPower.h"

#include <spawn.h>
#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace kelmo {

std::vector<std::string> SystemPower::Command() {
  if (const char* custom = std::getenv("KELMO_SHUTDOWN_COMMAND"); custom && *custom) {
    std::vector<std::string> words;
    std::istringstream in(custom);
    for (std::string w; in >> w;) words.push_back(w);
    if (!words.empty()) return words;
  }
  return {"systemctl", "poweroff", "--no-ask-password"};
}

PowerResult SystemPower::Shutdown() {
  std::vector<std::string> words = Command();
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  // The child is not waited for: the machine is going down and this process ends right after.
  const int rc = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    std::fprintf(stderr, "kelmo: cannot start %s: %s\n", argv[0], std::strerror(rc));
    return {PowerResult::Kind::Absent, "Cannot start " + words[0] + ": " + std::strerror(rc) + "."};
  }
  return {};
}

PowerResult SystemPower::Inhibit(const std::string& why) {
  if (why.empty()) return {};
  return {PowerResult::Kind::Absent, "No power manager to keep the computer awake."};
}

}  // namespace kelmo
