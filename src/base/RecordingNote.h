#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace kelmo {

// How a recording ended, as its note tells it.
enum class RecordingEnd { Stop, Schedule, DiskFull, Error };

// What an archivist needs to know of one recording later, kept beside its file as
// "<file>.txt" (one "key: value" line each). The recording controls begin it at REC. (the time,
// the channel), the recorder that runs fills in its file and formats and completes it at its
// end, then writes it. One recording at a time: a recorder's end has been reported before the
// next REC. begins the note again.
class RecordingNote {
 public:
  struct Video {
    uint32_t width = 0;
    uint32_t height = 0;
    std::string pixelFormat;      // "RGB24", "YUY2"
    std::string codec;            // as the compression dialog names it
    std::optional<int> quality;   // none for a codec without a quality setting
    uint32_t framesCaptured = 0;  // frame slots in the file, dropped ones included
    uint32_t framesDropped = 0;
  };

  // User-interface thread. A new recording starts at `now`: every field is cleared; `wanted`:
  // the user keeps notes (the setting).
  void Begin(int64_t now, bool wanted);
  // The recording's end was told by `why`. The first cause wins: a recording that the schedule
  // ended stays ended by the schedule. Any thread.
  void EndedBy(RecordingEnd why);
  RecordingEnd Ended() const { return ended.load(); }
  // Begun and not yet written, and wanted.
  bool Pending() const { return pending.load(); }
  // The note was written (or given up): a second end of the same recording writes nothing.
  void Done() { pending = false; }

  // The lines, in a fixed order; a field that is empty (or a part that does not apply, as the
  // video of a sound recording) is left out. Times are local, ISO 8601 with the offset.
  std::string Text() const;

  std::string file;  // the recording's file, as it was created
  int64_t start = 0;
  int64_t end = 0;        // 0: not known
  std::string channel;    // "3 Telecinco"
  std::string frequency;  // MHz, "855.25"
  std::string device;     // the source device
  std::string input;      // its input
  std::optional<Video> video;
  std::string soundFormat;  // "PCM, 22050 Hz, 16 bit, mono"
  std::optional<uint64_t> soundMs;
  uint64_t fileBytes = 0;

 private:
  std::atomic<RecordingEnd> ended{RecordingEnd::Stop};
  std::atomic<bool> endTold{false};
  std::atomic<bool> pending{false};
};

// The note's text for each end: "STOP", "schedule", "disk full", "error".
const char* RecordingEndText(RecordingEnd why);

// An instant as local ISO 8601 time with its offset: "2026-12-07T21:30:00+01:00".
std::string LocalIsoTime(int64_t instant);

}  // namespace kelmo
