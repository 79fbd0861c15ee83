#include "app/OnScreenDisplay.h"

#include <algorithm>
#include <cstdio>

namespace kelmo {

void OnScreenDisplay::ShowChannel(int number, const std::string& name, int64_t nowMs) {
  channel = std::to_string(number) + "  " + name;
  channelUntil = nowMs + kShowMs;
}

void OnScreenDisplay::ShowVolume(int percent, int64_t nowMs) {
  volume = std::clamp(percent, 0, 100);
  volumeUntil = nowMs + kShowMs;
}

void OnScreenDisplay::ShowMute(bool on, int64_t nowMs) {
  muted = on;
  // Turning the sound on again shows the volume it comes back at.
  muteUntil = on ? nowMs + kShowMs : 0;
  if (!on) volumeUntil = nowMs + kShowMs;
}

void OnScreenDisplay::ShowRecording(bool running, int64_t nowMs) {
  if (running && !recording) recordingSince = nowMs;
  recording = running;
  recUntil = nowMs + kShowMs;
}

OnScreenDisplay::Frame OnScreenDisplay::At(int64_t nowMs, bool fullScreen) const {
  Frame f;
  if (nowMs < channelUntil) f.channel = channel;
  if (nowMs < volumeUntil && !muted) f.volume = volume;
  f.mute = muted && nowMs < muteUntil;
  if (recording && (fullScreen || nowMs < recUntil)) {
    const int64_t s = std::max<int64_t>(0, nowMs - recordingSince) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "REC %lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    f.rec = text;
  } else if (!recording && nowMs < recUntil) {
    f.rec = "REC ended";
  }
  return f;
}

}  // namespace kelmo
