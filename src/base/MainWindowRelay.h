#pragma once

#include <atomic>

#include "base/Log.h"
#include "base/MainWindowView.h"

namespace kelmo {

// The main window as the recording engine sees it. The engine is built before the window and may
// outlive it, so it writes through this relay: the window attaches itself once it is built and
// detaches before it goes. While no window is attached the fields have nowhere to show and the
// calls are dropped. Any thread, as MainWindowView.
class MainWindowRelay final : public MainWindowView {
 public:
  // User-interface thread; null detaches. The caller's threads that write to the view are stopped
  // before a window detaches.
  void Attach(MainWindowView* window) { target.store(window); }

  void SetStatusLine(const std::string& text) override {
    if (MainWindowView* w = target.load()) w->SetStatusLine(text);
  }
  void SetClockText(const std::string& text) override {
    if (MainWindowView* w = target.load()) w->SetClockText(text);
  }
  void SetOverlayText(const std::string& text) override {
    if (MainWindowView* w = target.load()) w->SetOverlayText(text);
  }
  void SetChannelLine(const std::string& text) override {
    if (MainWindowView* w = target.load()) w->SetChannelLine(text);
  }
  void SetLevelText(const std::string& text) override {
    if (MainWindowView* w = target.load()) w->SetLevelText(text);
  }
  void SetLevelMeter(int value) override {
    if (MainWindowView* w = target.load()) w->SetLevelMeter(value);
  }
  void SetRecEnabled(bool enabled) override {
    if (MainWindowView* w = target.load()) w->SetRecEnabled(enabled);
  }
  void SetStopEnabled(bool enabled) override {
    if (MainWindowView* w = target.load()) w->SetStopEnabled(enabled);
  }
  void FocusRec() override {
    if (MainWindowView* w = target.load()) w->FocusRec();
  }
  void FocusStop() override {
    if (MainWindowView* w = target.load()) w->FocusStop();
  }
  void ExitAndShutdown() override {
    if (MainWindowView* w = target.load()) {
      w->ExitAndShutdown();
      return;
    }
    LogWarning("app", "shutdown after the last program dropped: no main window");
  }

 private:
  std::atomic<MainWindowView*> target{nullptr};
};

}  // namespace kelmo
