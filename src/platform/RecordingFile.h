#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelmo {

// The file of one recording (AVI, WAV or WMA), written through this class only.
//
// It is created new, never opened over something already there: a capture folder may be shared,
// and a link planted under the recording's name between the choice of the name and the start
// (while a dialog waits for the user) must not make the recording overwrite the link's target.
// When the name is taken by then, the next free name is used instead, numbered as
// FreeCaptureFileName numbers them.
//
// The simulated full disk: with KELMO_SIM_DISK_FULL_AFTER=<bytes> in the environment, a file
// cannot grow past that many bytes (a write that would pass it writes what fits and fails with
// ENOSPC), and the free space reported for it is what is left below that size. It exercises the
// writers' own failure paths on any machine.
//
// One thread writes; Duplicate gives a second descriptor for flushing from another thread.
class RecordingFile {
 public:
  RecordingFile() = default;
  ~RecordingFile() { Close(); }
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;

  // Creates the file at `path` (exclusive, without following a link), or at the next free name,
  // which then replaces `path`. False with Error() set when it cannot be created.
  bool Create(std::string& path);
  // Creates the file at exactly `path`, new and without following a link; false (Error() set,
  // EEXIST when the name is taken) otherwise.
  bool CreateNew(const std::string& path);

  // Writes all of `size` bytes at the current position. False (Error() set) when not all of them
  // reached the file; the position is then after what did.
  bool Write(const uint8_t* data, std::size_t size);
  // Writes at `at` without moving the position.
  bool WriteAt(const uint8_t* data, std::size_t size, uint64_t at);
  // Reads back what was written at `at` (the AVI writer brings its header's counts up to date
  // from what the muxer wrote). False when not all of it could be read.
  bool ReadAt(uint8_t* data, std::size_t size, uint64_t at) const;
  // Moves the position as lseek does; -1 on failure.
  int64_t Seek(int64_t offset, int whence);
  // Cuts the file to `size` bytes and puts the position there.
  bool CutTo(uint64_t size);
  uint64_t Size() const { return end; }

  // A second descriptor of the open file (the caller closes it); -1 when not open.
  int Duplicate() const;
  // Flushes the file to the disk.
  void Sync() const;
  // Closes the file; nothing when not open.
  void Close();
  // Closes the file and removes it: a recording that could not start leaves nothing behind.
  void Discard();

  bool IsOpen() const { return fd >= 0; }
  const std::string& Path() const { return path; }
  // The errno of the last failure.
  int Error() const { return error; }
  // The bytes the file may still grow by on its disk; nullopt when that cannot be asked.
  std::optional<uint64_t> FreeBytes() const;

 private:
  bool Fail(int code);
  bool OpenNew(const std::string& name);

  int fd = -1;
  std::string path;
  uint64_t position = 0;
  uint64_t end = 0;
  uint64_t limit = UINT64_MAX;  // the simulated full disk
  int error = 0;
};

// `name` (an ".avi" name of FormatCaptureFileName) when no recording of that name exists yet as
// .avi, .wav or .wma; else the first free of "<name>-2.avi", "<name>-3.avi", ...: a recording made
// on the same day of another month at the same time, or a sound and a video recording started in
// the same second, must not replace an earlier one.
std::string FreeCaptureFileName(const std::string& name);

// True for the errors a full disk gives: no space, no quota left, or the file size limit.
bool IsDiskFullError(int code);

}  // namespace kelmo
