#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kelmo {

// Status of a WMA writer call: 0 or above is success, below 0 a failure.
inline constexpr int32_t kWmaOk = 0;
inline constexpr int32_t kWmaFailed = -1;

// One WMA file being written: raw samples in the capture's input format go in, a Windows Media
// Audio stream in an ASF file comes out. The calls come in this order: SetInputFormat,
// SetOutputFormat, any number of Write, Flush. Releasing the writer is destroying it; a writer
// destroyed before Flush completes its file first, so nothing written is lost.
//
// SetInputFormat, SetOutputFormat, Flush and the destructor run on the user-interface thread; Write
// runs on the wave reader thread while a recording runs. The caller makes sure no Write overlaps
// another call (the recording stops and joins its reader thread before Flush).
class WmaWriter {
 public:
  virtual ~WmaWriter() = default;

  // The format of the samples Write receives: a WAVEFORMATEX block in its stored layout
  // (WaveFormat.h). Plain PCM of 8 or 16 bits, 1 or 2 channels, is accepted; anything else, and a
  // block that is not a valid format, gives a status below 0.
  virtual int32_t SetInputFormat(std::span<const uint8_t> format) = 0;

  // The stream the file holds: bits per second, samples per second (Hz), channels (1 or 2), flags
  // (0; no flag is defined). The file's header is written here. A sample rate or channel count
  // of 0 or out of range, a bit rate below 0, or a call before SetInputFormat gives a status below
  // 0. A bit rate under the encoder's floor (24000) is encoded at that floor.
  virtual int32_t SetOutputFormat(int32_t bitrate, int32_t sampleRate, int32_t channels,
                                  uint32_t flags) = 0;

  // Encodes `length` bytes of samples in the input format (whole sample frames; a trailing partial
  // frame is kept for the next call). The file on disk is brought up to date once a second of
  // sound, so a process killed while recording leaves a file that plays to within a second of what
  // it was given. Below 0 before SetOutputFormat succeeded, after Flush, or when the disk write
  // fails.
  virtual int32_t Write(const uint8_t* data, uint32_t length) = 0;

  // Encodes what is still held and completes the file (its header then gives the duration). The
  // writer stays alive; further writes fail. Below 0 when the file could not be completed.
  virtual int32_t Flush() = 0;
};

// The two codecs a WMA file can be written with.
enum class WmaCodec { V1, V2 };

// Makes the writers: one per recording file.
class WmaWriterFactory {
 public:
  virtual ~WmaWriterFactory() = default;

  // A writer creating the file at `path`, a UTF-8 file name, as a new file (never through a link
  // or over a file already there: the next free name then replaces `path`), to be encoded with
  // `codec`. Status 0 and `writer` set; below 0 and `writer` null when the file cannot be
  // created. User-interface thread.
  virtual int32_t Create(std::string& path, WmaCodec codec, std::unique_ptr<WmaWriter>& writer) = 0;
};

}  // namespace kelmo
