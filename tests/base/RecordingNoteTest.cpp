#include <gtest/gtest.h>
#include <sys/stat.h>

#include "audio/RecordingNoteFile.h"
#include "base/RecordingNote.h"
#include "support/TempDir.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

constexpr int64_t kStart = 1796680800;  // 2026-12-07 22:00:00 UTC, 23:00 in Madrid

// An AVI's note holds every line in order, times in local time with their offset; a sound
// recording's leaves the video lines out, and the first end told is the one kept.
TEST(RecordingNote, TextHasEveryLineThatApplies) {
  ScopedTimeZone madrid{"CET-1CEST,M3.5.0,M10.5.0/3"};
  RecordingNote note;
  note.Begin(kStart, true);
  note.file = "/v/Kelmo.07_23.00.avi";
  note.end = kStart + 1805;
  note.channel = "3 La 2";
  note.frequency = "855.25";
  note.device = "Bt848 (1.0) /dev/video0";
  note.input = "TV tuner";
  note.video = RecordingNote::Video{768, 576, "YUY2", "Motion JPEG", 3, 45125, 12};
  note.soundFormat = "PCM, 22050 Hz, 16 bit, mono";
  note.soundMs = 1805040;
  note.fileBytes = 123456789;
  note.EndedBy(RecordingEnd::Schedule);
  note.EndedBy(RecordingEnd::DiskFull);
  EXPECT_EQ(note.Text(),
            "file: /v/Kelmo.07_23.00.avi\n"
            "start: 2026-12-07T23:00:00+01:00\n"
            "end: 2026-12-07T23:30:05+01:00\n"
            "channel: 3 La 2\n"
            "frequency: 855.25 MHz\n"
            "device: Bt848 (1.0) /dev/video0\n"
            "input: TV tuner\n"
            "video size: 768x576\n"
            "pixel format: YUY2\n"
            "codec: Motion JPEG\n"
            "quality: 3\n"
            "frames captured: 45125\n"
            "frames dropped: 12\n"
            "sound format: PCM, 22050 Hz, 16 bit, mono\n"
            "sound length: 1805.040 s\n"
            "file size: 123456789 bytes\n"
            "ended: schedule\n");

  note.Begin(kStart, true);
  note.file = "/v/Kelmo.07_23.00.wav";
  note.EndedBy(RecordingEnd::DiskFull);
  EXPECT_EQ(note.Text(),
            "file: /v/Kelmo.07_23.00.wav\nstart: 2026-12-07T23:00:00+01:00\n"
            "file size: 0 bytes\nended: disk full\n");
}

// The note goes beside the recording, new: never over a file already there, never for a
// recording that left no file, not when the user keeps no notes, and once per recording.
TEST(RecordingNote, FileIsWrittenNewBesideTheRecordingOnce) {
  TempDir dir;
  const std::string recording = (dir / "Kelmo.07_23.00.wav").string();
  RecordingNote note;
  note.Begin(kStart, true);
  note.file = recording;
  WriteRecordingNote(note);
  EXPECT_FALSE(std::filesystem::exists(recording + ".txt"));  // no recording, no note

  WriteFile(recording, "RIFF1234");
  note.Begin(kStart, false);
  note.file = recording;
  WriteRecordingNote(note);
  EXPECT_FALSE(std::filesystem::exists(recording + ".txt"));

  note.Begin(kStart, true);
  note.file = recording;
  note.EndedBy(RecordingEnd::Error);
  WriteRecordingNote(note);
  const std::string text = ReadFile(recording + ".txt");
  EXPECT_NE(text.find("file size: 8 bytes\nended: error\n"), std::string::npos) << text;
  WriteFile(recording, "RIFF12345678");
  WriteRecordingNote(note);  // done already
  EXPECT_EQ(ReadFile(recording + ".txt"), text);

  // A link planted under the note's name is not written through.
  const std::string other = (dir / "Kelmo.07_23.00.avi").string();
  WriteFile(other, "AVI");
  std::filesystem::create_symlink(dir / "target", other + ".txt");
  note.Begin(kStart, true);
  note.file = other;
  WriteRecordingNote(note);
  EXPECT_FALSE(std::filesystem::exists(dir / "target"));
}

}  // namespace
}  // namespace kelmo::test
