#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelmo {

// How a running recording fares, for the status line once a second: the time recorded, the size of
// its file, and the room left on the disk it goes to, e.g. "REC 0:01:05  1.4 MB  12.3 GB free".
// Without a free-space figure that part is left out.
std::string FormatRecordingHealth(int64_t secondsRecorded, uint64_t fileBytes,
                                  std::optional<uint64_t> freeBytes);

// The bytes an unprivileged program may still write on the file system that holds `path` (a file
// or a folder); nullopt when it cannot be asked.
std::optional<uint64_t> FreeDiskBytes(const std::string& path);

// The size of the file at `path`; 0 when there is none.
uint64_t FileBytes(const std::string& path);

}  // namespace kelmo
