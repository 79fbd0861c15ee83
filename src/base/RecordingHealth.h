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

// A size as file managers show it: "812 KB", "1.4 MB", "12.3 GB" (decimal units).
std::string FormatBytes(uint64_t bytes);

// What the user is told when a recording's file can no longer be written and the recording has
// stopped: the disk that is full (or the system's reason), the file, and how much of the
// recording it keeps, e.g. "The disk is full: the recording has stopped.\n/video/Kelmo.07_21.30.wav
// keeps 0:00:06 (304 KB); /video has 0 KB free." `reason` is the system's text for `diskFull`
// false.
std::string RecordingStoppedText(const std::string& path, bool diskFull, const std::string& reason,
                                 int64_t secondsKept, uint64_t bytesKept,
                                 std::optional<uint64_t> freeBytes);

// The room an AVI recording of `chunks` chunks so far, writing `bytesPerSecond`, must keep free on
// its disk to end properly: its end writes the index (16 bytes a chunk in the first part, 8 in an
// OpenDML part's) and closing chunks, and the next look at the free space is a second away.
uint64_t AviReserveBytes(uint64_t chunks, uint64_t bytesPerSecond);

// The bytes an unprivileged program may still write on the file system that holds `path` (a file
// or a folder); nullopt when it cannot be asked. Under the simulated full disk no more than its
// size (SimulatedDiskBytes).
std::optional<uint64_t> FreeDiskBytes(const std::string& path);

// The simulated full disk's size: KELMO_SIM_DISK_FULL_AFTER=<bytes> in the environment (a
// recording's file cannot grow past it: RecordingFile); nullopt without it.
std::optional<uint64_t> SimulatedDiskBytes();

// The size of the file at `path`; 0 when there is none.
uint64_t FileBytes(const std::string& path);

}  // namespace kelmo
