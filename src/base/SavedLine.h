#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace kelmo {

// A video recording's frame counts, for its saved line.
struct SavedFrames {
  uint32_t captured = 0;
  uint32_t dropped = 0;
};

// What the status line says once a recording has ended: "Saved Kelmo.07_21.30.wav — 12:04,
// 103 MB", and for a video recording also ", 18100 frames (3 dropped)". The file by its name
// alone; the length as minutes and seconds (hours too from an hour on); the size in decimal
// units, kB below one MB and one decimal below ten.
std::string FormatSavedLine(const std::string& path, uint64_t milliseconds, uint64_t bytes,
                            std::optional<SavedFrames> frames = std::nullopt);

// The status line between recordings: empty, or the last recording's saved line, which stays
// there, against the clock's tick, until the user's next action (a recording, a channel change,
// a command). Any thread.
class SavedLine {
 public:
  void Hold(std::string line) {
    std::lock_guard lock(mutex);
    text = std::move(line);
  }
  void Release() { Hold({}); }
  std::string Text() const {
    std::lock_guard lock(mutex);
    return text;
  }

 private:
  mutable std::mutex mutex;
  std::string text;
};

}  // namespace kelmo
