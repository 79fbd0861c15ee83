#pragma once

#include "platform/Shell.h"

namespace kelmo {

// The desktop's mixer and folder picker.
class DesktopShell final : public Shell {
 public:
  // Tries, in order: pavucontrol, GNOME's sound settings, alsamixer in a terminal.
  std::optional<std::string> OpenMixer() override;
  std::optional<std::string> ChooseDirectory(const std::string& title,
                                             const std::string& start) override;
};

}  // namespace kelmo
