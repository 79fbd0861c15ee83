#pragma once

namespace kelmo {

// Shutting the computer down after the last scheduled recording, or from "Exit and Shutdown".
class Power {
 public:
  virtual ~Power() = default;

  // User-interface thread, only after the main window's destruction has saved the settings and
  // closed every file. Asks the system to power off and returns without waiting for it; a failure
  // to start the request is not reported (the program is ending anyway).
  virtual void Shutdown() = 0;
};

}  // namespace kelmo
