#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kelmo {

// Why a file was not read or written.
enum class FileErrorKind {
  None,
  NotRegular,   // a folder, a named pipe, a device or a socket stands where the file should be
  TooLarge,     // larger than the reader's limit
  ForeignLink,  // a symbolic link (or its target) that is not the user's, or one that dangles
  ForeignFile,  // the file belongs to another user
  ReadOnly,     // the user made the file read-only
  BadValue,     // something asked to be written cannot be stored in the file
  System,       // the system refused (permissions, a full disk, ...)
};

// The outcome of reading or writing a file. `reason` says in words what is wrong, for a message
// box and the log ("it is a named pipe", "No space left on device").
struct [[nodiscard]] FileResult {
  FileErrorKind kind = FileErrorKind::None;
  std::string reason;

  explicit operator bool() const { return kind == FileErrorKind::None; }
  static FileResult Failed(FileErrorKind kind, std::string reason) {
    return FileResult{kind, std::move(reason)};
  }
};

// Settings and channel files are a few KiB; anything past this is not one of ours.
inline constexpr std::size_t kMaxDataFileBytes = 4u << 20;

struct FileContents {
  FileResult result;
  bool missing = false;  // there is no file (an empty `bytes`): not an error
  std::string bytes;
};

// Symbolic links are followed only when the link and the file it leads to belong to the user
// running the program (a settings folder kept in the user's own dotfiles still works); a link
// that another user planted, or one that leads nowhere, is refused.

// Reads `path` whole when it is a regular file of at most `limit` bytes. Never waits for a writer
// (a named pipe is refused, not opened). Failures are logged with the file and the reason. Any
// thread.
FileContents ReadRegularFile(const std::filesystem::path& path,
                             std::size_t limit = kMaxDataFileBytes);

// Replaces the contents of `path` with `bytes`: they are written to a temporary file in the same
// folder, flushed to disk and renamed over the file, so the old contents stay whole until the new
// ones are complete (a full disk leaves the old file). An existing file keeps its permissions; a
// new one gets those the umask allows; missing folders are created. Refused, and nothing written,
// when the file is not a regular file, belongs to another user or was made read-only by its
// owner. Failures are logged with the file and the reason. Any thread.
FileResult ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

// A copy of a damaged file's bytes, kept before the file is written again.
struct KeptCopy {
  std::filesystem::path path;  // where the copy is (or could not be written)
  bool before = false;         // that name held these bytes already: nothing was written
  FileResult result;
};

// Keeps `bytes` in the first of "<path>.bad", "<path>.bad.1", ... that holds these bytes already
// or nothing at all: a copy of other bytes kept earlier is never replaced. Any thread.
KeptCopy KeepDamagedCopy(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kelmo
