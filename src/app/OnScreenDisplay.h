#pragma once

#include <cstdint>
#include <string>

namespace kelmo {

// What the picture shows over itself for a moment after a change: the channel's number and name,
// the volume, "Mute", and a recording's REC mark with its elapsed time. Times are the clock's
// monotonic milliseconds. User-interface thread.
class OnScreenDisplay {
 public:
  static constexpr int64_t kShowMs = 2000;

  void ShowChannel(int number, const std::string& name, int64_t nowMs);
  void ShowVolume(int percent, int64_t nowMs);
  void ShowMute(bool muted, int64_t nowMs);
  // A recording started (`running`) or ended.
  void ShowRecording(bool running, int64_t nowMs);

  struct Frame {
    std::string channel;  // "12  Das Erste"; empty: none
    int volume = -1;      // 0..100; -1: no bar
    bool mute = false;    // "Mute"
    std::string rec;      // "REC 0:12:04"; empty: none
    bool Empty() const { return channel.empty() && volume < 0 && !mute && rec.empty(); }
  };
  // What shows at `nowMs`. In full screen the REC mark stays for as long as the recording runs;
  // in the window (where the clock field counts) only for a moment after its start and end.
  Frame At(int64_t nowMs, bool fullScreen) const;

 private:
  std::string channel;
  int64_t channelUntil = 0;
  int volume = 0;
  int64_t volumeUntil = 0;
  bool muted = false;
  int64_t muteUntil = 0;
  bool recording = false;
  int64_t recordingSince = 0;
  int64_t recUntil = 0;
};

}  // namespace kelmo
