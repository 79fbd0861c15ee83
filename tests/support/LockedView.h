#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "base/MainWindowView.h"

namespace kelmo::test {

// The main window's fields as the recording threads last wrote them: every call may come from a
// driver thread, so every field is read through a copy taken under the lock.
class LockedView final : public MainWindowView {
 public:
  struct Fields {
    std::string statusLine, clockText, levelText;
    int levelMeter = 0;
    int clockWrites = 0;
    std::vector<int> levels;  // every meter value, in order
    bool recEnabled = true, stopEnabled = false;
    std::string focus;
    int shutdowns = 0;
  };

  Fields Get() const {
    std::lock_guard lock(mutex);
    return fields;
  }

  void SetStatusLine(const std::string& t) override {
    Set([&](Fields& f) { f.statusLine = t; });
  }
  void SetClockText(const std::string& t) override {
    Set([&](Fields& f) {
      f.clockText = t;
      ++f.clockWrites;
    });
  }
  void SetOverlayText(const std::string&) override {}
  void SetChannelLine(const std::string&) override {}
  void SetLevelText(const std::string& t) override {
    Set([&](Fields& f) { f.levelText = t; });
  }
  void SetLevelMeter(int v) override {
    Set([&](Fields& f) {
      f.levelMeter = v;
      f.levels.push_back(v);
    });
  }
  void SetRecEnabled(bool e) override {
    Set([&](Fields& f) { f.recEnabled = e; });
  }
  void SetStopEnabled(bool e) override {
    Set([&](Fields& f) { f.stopEnabled = e; });
  }
  void FocusRec() override {
    Set([&](Fields& f) { f.focus = "rec"; });
  }
  void FocusStop() override {
    Set([&](Fields& f) { f.focus = "stop"; });
  }
  void ExitAndShutdown() override {
    Set([&](Fields& f) { ++f.shutdowns; });
  }

 private:
  template <typename F>
  void Set(F change) {
    std::lock_guard lock(mutex);
    change(fields);
  }

  mutable std::mutex mutex;
  Fields fields;
};

}  // namespace kelmo::test
