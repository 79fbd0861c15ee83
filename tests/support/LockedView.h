#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "base/MainWindowView.h"

namespace kelmo::test {

// The recording's fields of the main window as its threads last wrote them: every call may come
// from a driver thread, so every field is read through a copy taken under the lock.
class LockedView final : public MainWindowView {
 public:
  struct Fields {
    std::string clockText, levelText;
    int levelMeter = 0;
    int clockWrites = 0;
    std::vector<int> levels;  // every meter value, in order
    bool recEnabled = true, stopEnabled = false;
  };

  Fields Get() const {
    std::lock_guard lock(mutex);
    return fields;
  }

  void SetClockText(const std::string& t) override {
    std::lock_guard lock(mutex);
    fields.clockText = t;
    ++fields.clockWrites;
  }
  void SetLevelText(const std::string& t) override {
    std::lock_guard lock(mutex);
    fields.levelText = t;
  }
  void SetLevelMeter(int v) override {
    std::lock_guard lock(mutex);
    fields.levelMeter = v;
    fields.levels.push_back(v);
  }
  void SetStatusLine(const std::string&) override {}
  void SetOverlayText(const std::string&) override {}
  void SetChannelLine(const std::string&) override {}
  void SetRecEnabled(bool on) override {
    std::lock_guard lock(mutex);
    fields.recEnabled = on;
  }
  void SetStopEnabled(bool on) override {
    std::lock_guard lock(mutex);
    fields.stopEnabled = on;
  }
  void FocusRec() override {}
  void FocusStop() override {}
  void ExitAndShutdown() override { ++shutdowns; }

  std::atomic<int> shutdowns{0};

 private:
  mutable std::mutex mutex;
  Fields fields;
};

}  // namespace kelmo::test
