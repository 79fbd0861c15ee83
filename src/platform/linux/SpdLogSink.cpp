#include "platform/linux/SpdLogSink.h"

#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <cstdlib>
#include <vector>

namespace kelmo {
namespace {

constexpr std::size_t kFileBytes = 1024 * 1024;
constexpr std::size_t kFiles = 3;

spdlog::level::level_enum ToSpd(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return spdlog::level::debug;
    case LogLevel::Info:
      return spdlog::level::info;
    case LogLevel::Warning:
      return spdlog::level::warn;
    case LogLevel::Error:
      return spdlog::level::err;
  }
  return spdlog::level::info;
}

}  // namespace

std::filesystem::path DefaultLogFile() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return std::filesystem::path(state) / "kelmo" / "kelmo.log";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') {
    return std::filesystem::path(home) / ".local" / "state" / "kelmo" / "kelmo.log";
  }
  return {};
}

SpdLogSink::SpdLogSink(const std::filesystem::path& file, Stderr toStderr) : file(file) {
  std::vector<spdlog::sink_ptr> sinks;
  if (toStderr == Stderr::Yes) sinks.push_back(std::make_shared<spdlog::sinks::stderr_sink_mt>());
  if (file.empty()) {
    fileError = "no home folder to keep it in";
  } else {
    try {
      std::error_code ec;
      std::filesystem::create_directories(file.parent_path(), ec);
      std::filesystem::permissions(file.parent_path(), std::filesystem::perms::owner_all, ec);
      sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(file.string(),
                                                                             kFileBytes, kFiles));
    } catch (const spdlog::spdlog_ex& e) {
      fileError = e.what();
    }
  }
  logger = std::make_shared<spdlog::logger>("kelmo", sinks.begin(), sinks.end());
  logger->set_pattern("%Y-%m-%d %H:%M:%S.%e %l %v");
  logger->set_level(spdlog::level::debug);
  // A warning or an error reaches the file at once: it is what somebody reads after a failure.
  logger->flush_on(spdlog::level::warn);
}

SpdLogSink::~SpdLogSink() { Flush(); }

void SpdLogSink::Write(LogLevel level, std::string_view module, std::string_view text) {
  try {
    logger->log(ToSpd(level), "[{}] {}", module, text);
  } catch (...) {
    // A log that cannot be written must not take the recording down with it.
  }
}

void SpdLogSink::Flush() {
  try {
    logger->flush();
  } catch (...) {
  }
}

}  // namespace kelmo
