#pragma once

#include <string_view>

namespace kelmo {

enum class LogLevel { Debug, Info, Warning, Error };

// Where the program's log lines go. The composition installs one backend (a file beside stderr);
// a test installs a recording one. Any thread may write.
class LogSink {
 public:
  virtual ~LogSink() = default;

  // Any thread. `module` names the part of the program ("capture", "schedule", "audio"); `text` is
  // one line, without a newline. Must not throw.
  virtual void Write(LogLevel level, std::string_view module, std::string_view text) = 0;
};

// The log is the one service every thread of the program writes to, as it would to stderr: it is
// reached through these functions rather than handed to every device class. Until a sink is
// installed (and after it is removed) lines go to stderr. The sink must outlive its installation.
void InstallLogSink(LogSink* sink);

// Installs a sink for its lifetime and puts the one before it back at its end.
class ScopedLogSink {
 public:
  explicit ScopedLogSink(LogSink& sink);
  ~ScopedLogSink();
  ScopedLogSink(const ScopedLogSink&) = delete;
  ScopedLogSink& operator=(const ScopedLogSink&) = delete;

 private:
  LogSink* previous;
};

// Debug lines are formatted and written only while enabled (--verbose).
void SetLogDebug(bool enabled);
bool LogDebugEnabled();

// printf-style: LogInfo("capture", "opened %s at %dx%d", device, w, h). Numbers are written in the
// "C" locale's form whatever the user's locale is.
void LogDebug(const char* module, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogInfo(const char* module, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogWarning(const char* module, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogError(const char* module, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The level's name as it stands in a log line ("debug", "info", "warning", "error").
const char* LogLevelName(LogLevel level);

}  // namespace kelmo
