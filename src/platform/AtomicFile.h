#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelmo {

// The whole contents of `path`: empty when the file does not exist, nullopt when it exists but
// cannot be read (a caller that rewrites the file from nothing would lose what it holds). Any
// thread.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Everything left to read from the open descriptor `fd` (which stays open); nullopt on a read
// error. Any thread.
std::optional<std::string> ReadDescriptor(int fd);

// Replaces the contents of `path` with `bytes`: they are written to a temporary file in the same
// folder, flushed to disk and renamed over the file, so the old contents stay whole until the new
// ones are complete (a full disk leaves the old file). The file keeps its permissions (0644 for a
// new one); a symbolic link keeps pointing at its rewritten target; missing folders are created.
// False when anything failed; the file is then unchanged. Any thread.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace kelmo
