#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/Log.h"

namespace spdlog {
class logger;
}

namespace kelmo {

// The program's log: each line to stderr and to a rotating file (three files of 1 MiB), with the
// time, the level and the module. spdlog does the rotation and the locking between threads.
class SpdLogSink : public LogSink {
 public:
  // Creates the file's folder (0700) when missing. When the file cannot be opened the log goes to
  // stderr alone and `FileError()` says why. A test may leave stderr out.
  enum class Stderr { Yes, No };
  explicit SpdLogSink(const std::filesystem::path& file, Stderr toStderr = Stderr::Yes);
  ~SpdLogSink() override;

  SpdLogSink(const SpdLogSink&) = delete;
  SpdLogSink& operator=(const SpdLogSink&) = delete;

  void Write(LogLevel level, std::string_view module, std::string_view text) override;

  // Writes what is buffered to the file (at exit, and before the machine is powered off).
  void Flush();

  const std::filesystem::path& File() const { return file; }
  const std::string& FileError() const { return fileError; }

 private:
  std::filesystem::path file;
  std::string fileError;
  std::shared_ptr<spdlog::logger> logger;
};

// $XDG_STATE_HOME/kelmo/kelmo.log, by default ~/.local/state/kelmo/kelmo.log; empty when neither
// XDG_STATE_HOME nor HOME is set (the log then goes to stderr alone).
std::filesystem::path DefaultLogFile();

}  // namespace kelmo
