#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "audio/WaveFormat.h"
#include "capture/VideoCompression.h"
#include "capture/VideoSource.h"

namespace kelmo {

// What an AVI recording holds.
struct AviSetup {
  std::string path;  // UTF-8
  VideoMode video;   // the frames WriteVideo is given
  uint32_t microSecPerFrame = 40000;
  VideoCompressionChoice compression;
  std::optional<WaveFormatEx> audio;  // PCM; none: a file without sound
};

// Writes one AVI file (OpenDML past 1 GiB, so it may grow beyond 4 GiB): a video stream of
// equally spaced frames and an interleaved sound stream. Called by one thread, the capture thread.
// After a failed call the file stays readable up to what was written before; every later call
// fails too. A failure whose cause is a full disk says so in its text ("disk is full").
class AviWriter {
 public:
  virtual ~AviWriter() = default;

  // Creates the file, as a new file (RecordingFile: the next free name when the setup's is taken
  // by now). False with a text for the user in `error`; no file is left then.
  virtual bool Open(const AviSetup& setup, std::string& error) = 0;
  // The file Open created.
  virtual const std::string& Path() const = 0;
  // The bytes the file may still grow by on its disk; nullopt when that cannot be asked.
  virtual std::optional<uint64_t> FreeBytes() const = 0;
  // The next frame, encoded. False when the file cannot be written (error set).
  virtual bool WriteVideo(const VideoFrame& frame, std::string& error) = 0;
  // The next frame slot without a picture: an empty chunk, which players show as the previous
  // frame.
  virtual bool WriteEmptyVideo(std::string& error) = 0;
  // Sound in the setup's format, whole blocks.
  virtual bool WriteAudio(std::span<const uint8_t> bytes, std::string& error) = 0;
  // Brings the file on disk up to date, its header's sizes and counts included, so that a crash
  // loses no more than what follows and the file still tells its length.
  virtual bool Flush(std::string& error) = 0;
  // Writes the index and closes the file; true when all of it reached the disk.
  virtual bool Close(std::string& error) = 0;
};

class AviWriterFactory {
 public:
  virtual ~AviWriterFactory() = default;
  virtual std::unique_ptr<AviWriter> Make() = 0;
};

}  // namespace kelmo
