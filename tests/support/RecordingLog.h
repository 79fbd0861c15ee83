#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/Log.h"

namespace kelmo::test {

// Keeps every log line written while it lives, from any thread, for a test to read.
class RecordingLog : public LogSink {
 public:
  struct Line {
    LogLevel level;
    std::string module;
    std::string text;
  };

  RecordingLog() : installed(*this) {}

  void Write(LogLevel level, std::string_view module, std::string_view text) override {
    std::lock_guard lock(mutex);
    lines.push_back({level, std::string(module), std::string(text)});
  }

  std::vector<Line> Lines() const {
    std::lock_guard lock(mutex);
    return lines;
  }

  // Whether a line of that level and module holds `part`.
  bool Has(LogLevel level, std::string_view module, std::string_view part) const {
    std::lock_guard lock(mutex);
    for (const Line& l : lines) {
      if (l.level == level && l.module == module && l.text.find(part) != std::string::npos)
        return true;
    }
    return false;
  }

 private:
  mutable std::mutex mutex;
  std::vector<Line> lines;
  ScopedLogSink installed;
};

}  // namespace kelmo::test
