#pragma once

#include <optional>
#include <string>

namespace kelmo {

// The desktop's own programs and pickers.
class Shell {
 public:
  virtual ~Shell() = default;

  // User-interface thread. Starts the desktop's sound mixer and returns at once. Returns the
  // command that was started, or nothing when no known mixer is installed (the caller tells the
  // user).
  virtual std::optional<std::string> OpenMixer() = 0;

  // User-interface thread. Lets the user pick a directory, starting at `start` (UTF-8 path, may be
  // empty). Returns the chosen absolute path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseDirectory(const std::string& title,
                                                     const std::string& start) = 0;
};

}  // namespace kelmo
