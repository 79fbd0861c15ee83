#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/RecordingFile.h"

namespace kelmo {

// One RIFF WAVE file as recordings write it: "fmt " with the format's bytes (and a pad byte when
// their count is odd), "fact" holding the number of sample frames, then "data". All integers
// little-endian:
//
//   0 "RIFF", 4 size of what follows, 8 "WAVE", 12 "fmt ", 16 F, 20 the format (F bytes, padded to
//   F' even), 20+F' "fact", 24+F' 4, 28+F' sample frames, 32+F' "data", 36+F' data length, 40+F'
//   the data (and one zero byte when its length is odd).
//
// Readers take a compressed file's length from "fact", so it must hold the real count: the last
// block of a compressed stream is padded with silence that is not part of the recording.
// The sizes and the count are brought up to date in place (without moving the write position) by
// PatchSizes, and fixed, with the pad byte, by Finish.
class RiffWaveFile {
 public:
  RiffWaveFile() = default;
  ~RiffWaveFile() { Finish(); }
  RiffWaveFile(const RiffWaveFile&) = delete;
  RiffWaveFile& operator=(const RiffWaveFile&) = delete;

  // Creates `path` as a new file (RecordingFile: the next free name when it is taken, which then
  // replaces `path`) and writes the header for a format whose stored bytes are `format`
  // (F = format.size()). False when the file cannot be created or the header written; nothing is
  // left open then, and no file.
  bool Create(std::string& path, std::span<const uint8_t> format);

  // Appends sample data. False when the disk took less than all of it; the file is then cut back
  // to where it was, so it stays valid with the data before.
  bool Append(std::span<const uint8_t> data);

  // The sample frames the data holds so far, written with the sizes. Writer's thread.
  void SetSampleCount(uint64_t frames) { sampleCount = frames; }

  // Writes the current sizes into the header. Any thread, also while another appends.
  void PatchSizes();

  // A second descriptor of the open file (the caller closes it), to flush it to the disk without
  // holding up the writer; -1 when not open.
  int DuplicateHandle() const { return file.Duplicate(); }

  // Pads, writes the final sizes, flushes and closes. Nothing when not open.
  void Finish();

  bool IsOpen() const { return file.IsOpen(); }
  // The errno of the last failure, and the room left on the file's disk.
  int Error() const { return file.Error(); }
  std::optional<uint64_t> FreeBytes() const { return file.FreeBytes(); }
  // Bytes of sample data written so far.
  uint64_t DataBytes() const { return dataBytes.load(); }
  // Bytes before the data: 40 + F'.
  uint64_t HeaderBytes() const { return headerBytes; }

 private:
  void WriteSizes(uint64_t riffSize);

  RecordingFile file;
  uint64_t headerBytes = 0;
  std::atomic<uint64_t> dataBytes{0};
  std::atomic<uint64_t> sampleCount{0};
};

}  // namespace kelmo
