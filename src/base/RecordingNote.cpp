#include "base/RecordingNote.h"

#include <cstdio>
#include <ctime>

namespace kelmo {

void RecordingNote::Begin(int64_t now, bool wanted) {
  file.clear();
  start = now;
  end = 0;
  channel.clear();
  frequency.clear();
  device.clear();
  input.clear();
  video.reset();
  soundFormat.clear();
  soundMs.reset();
  fileBytes = 0;
  ended = RecordingEnd::Stop;
  endTold = false;
  pending = wanted;
}

void RecordingNote::EndedBy(RecordingEnd why) {
  if (!endTold.exchange(true)) ended = why;
}

const char* RecordingEndText(RecordingEnd why) {
  switch (why) {
    case RecordingEnd::Schedule:
      return "schedule";
    case RecordingEnd::DiskFull:
      return "disk full";
    case RecordingEnd::Error:
      return "error";
    case RecordingEnd::Stop:
      break;
  }
  return "STOP";
}

std::string LocalIsoTime(int64_t instant) {
  const auto t = static_cast<std::time_t>(instant);
  std::tm local{};
  localtime_r(&t, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  // strftime gives "+0100"; ISO 8601's extended form, as the date and time use, wants "+01:00".
  std::string iso = text;
  if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
  return iso;
}

std::string RecordingNote::Text() const {
  std::string text;
  auto line = [&text](const char* key, const std::string& value) {
    if (!value.empty()) text += std::string(key) + ": " + value + "\n";
  };
  line("file", file);
  line("start", LocalIsoTime(start));
  if (end != 0) line("end", LocalIsoTime(end));
  line("channel", channel);
  if (!frequency.empty()) line("frequency", frequency + " MHz");
  line("device", device);
  line("input", input);
  if (video) {
    line("video size", std::to_string(video->width) + "x" + std::to_string(video->height));
    line("pixel format", video->pixelFormat);
    line("codec", video->codec);
    if (video->quality) line("quality", std::to_string(*video->quality));
    line("frames captured", std::to_string(video->framesCaptured));
    line("frames dropped", std::to_string(video->framesDropped));
  }
  line("sound format", soundFormat);
  if (soundMs) {
    char seconds[32];
    // By hand, not "%.3f": the locale's decimal comma must not reach the file.
    std::snprintf(seconds, sizeof seconds, "%llu.%03llu s",
                  static_cast<unsigned long long>(*soundMs / 1000),
                  static_cast<unsigned long long>(*soundMs % 1000));
    line("sound length", seconds);
  }
  line("file size", std::to_string(fileBytes) + " bytes");
  line("ended", RecordingEndText(ended.load()));
  return text;
}

}  // namespace kelmo
