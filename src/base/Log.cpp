#include "base/Log.h"

#include <atomic>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace kelmo {
namespace {

std::atomic<LogSink*> installedSink{nullptr};
std::atomic<bool> debugEnabled{false};

void WriteToStderr(LogLevel level, const char* module, const std::string& text) {
  std::fprintf(stderr, "kelmo: %s: [%s] %s\n", LogLevelName(level), module, text.c_str());
}

void Emit(LogLevel level, const char* module, const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  // Lines are formatted in the "C" locale so a frequency reads 855.25 under every user's locale.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  const locale_t previous = cLocale ? uselocale(cLocale) : nullptr;
  const int size = std::vsnprintf(nullptr, 0, format, args);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(text.data(), text.size() + 1, format, copy);
  if (previous) uselocale(previous);
  va_end(copy);
  if (LogSink* sink = installedSink.load()) {
    sink->Write(level, module, text);
  } else {
    WriteToStderr(level, module, text);
  }
}

}  // namespace

void InstallLogSink(LogSink* sink) { installedSink.store(sink); }

ScopedLogSink::ScopedLogSink(LogSink& sink) : previous(installedSink.exchange(&sink)) {}

ScopedLogSink::~ScopedLogSink() { installedSink.store(previous); }

void SetLogDebug(bool enabled) { debugEnabled.store(enabled); }

bool LogDebugEnabled() { return debugEnabled.load(); }

const char* LogLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return "debug";
    case LogLevel::Info:
      return "info";
    case LogLevel::Warning:
      return "warning";
    case LogLevel::Error:
      return "error";
  }
  return "info";
}

#define KELMO_LOG_FUNCTION(name, level)                    \
  void name(const char* module, const char* format, ...) { \
    std::va_list args;                                     \
    va_start(args, format);                                \
    Emit(level, module, format, args);                     \
    va_end(args);                                          \
  }

void LogDebug(const char* module, const char* format, ...) {
  if (!debugEnabled.load()) return;
  std::va_list args;
  va_start(args, format);
  Emit(LogLevel::Debug, module, format, args);
  va_end(args);
}

KELMO_LOG_FUNCTION(LogInfo, LogLevel::Info)
KELMO_LOG_FUNCTION(LogWarning, LogLevel::Warning)
KELMO_LOG_FUNCTION(LogError, LogLevel::Error)

#undef KELMO_LOG_FUNCTION

}  // namespace kelmo
