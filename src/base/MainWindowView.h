#pragma once

#include <string>

namespace kelmo {

// The main window's status fields and recording buttons, as core code writes them. Texts are UTF-8.
// Any thread may call: off the user-interface thread the change is queued to it, so a driver thread
// never touches a widget.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  virtual void SetStatusLine(const std::string& text) = 0;   // capture status line (1000)
  virtual void SetClockText(const std::string& text) = 0;    // clock / recording indicator (1001)
  virtual void SetOverlayText(const std::string& text) = 0;  // "Overlay ON" / "Overlay OFF" (1002)
  virtual void SetChannelLine(const std::string& text) = 0;  // channel or schedule line (1003)
  virtual void SetLevelText(const std::string& text) = 0;    // sound level as text (1004)
  virtual void SetLevelMeter(int value) = 0;                 // level meter, 0..99 (1019)

  // REC. (1008) and STOP (1009): enable or disable, and give the focus.
  virtual void SetRecEnabled(bool enabled) = 0;
  virtual void SetStopEnabled(bool enabled) = 0;
  virtual void FocusRec() = 0;
  virtual void FocusStop() = 0;

  // User-interface thread. Closes the main window as "Exit and Shutdown" does (settings saved,
  // files closed, the card shut down), then powers the computer off.
  virtual void ExitAndShutdown() = 0;
};

}  // namespace kelmo
