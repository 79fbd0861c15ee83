#pragma once

#include <string>

namespace kelmo {

// Why a volume change did not happen.
enum class VolumeErrorKind {
  None,
  NoMixer,  // the sound card has no playback volume to set
  Failed,   // the mixer refused the change
};

struct VolumeResult {
  VolumeErrorKind kind = VolumeErrorKind::None;
  std::string reason;  // the system's words, for the log
  explicit operator bool() const { return kind == VolumeErrorKind::None; }
};

// The sound card's playback volume, which the card's sound goes out through (the card's audio
// cable into the sound card's line input, or the sound card's own mix). User-interface thread.
class VolumeControl {
 public:
  virtual ~VolumeControl() = default;

  // The volume in percent, 0..100; -1 when there is no mixer.
  virtual int Volume() = 0;
  // Sets it; out-of-range values are held to 0..100.
  [[nodiscard]] virtual VolumeResult SetVolume(int percent) = 0;
};

}  // namespace kelmo
