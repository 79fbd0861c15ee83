#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "audio/AcmConverter.h"
#include "audio/AudioFormatSettings.h"
#include "audio/RiffWaveFile.h"
#include "audio/WmaFile.h"
#include "base/MainWindowView.h"
#include "platform/Messages.h"

namespace kelmo {

// The file of a sound recording: each captured buffer converted to the compression format and
// appended to a RIFF WAVE file named after the capture file, or handed to the WMA writer. While it
// writes it blinks "RECORDING" and the format's name in the clock field.
//
// A recording cut off by a crash or a power loss keeps all but its last second: once a second of
// wall-clock time a thread of the writer's own brings the sizes up to date and flushes the file to
// the disk, and shows the recording's health on the status line. A recording that would pass 4 GiB
// goes on in a new file with a numbered suffix ("<name>.2.wav"). A conversion that fails is told
// once per recording; the capture goes on without writing. A file that cannot be created or
// written (a full disk) ends the recording: the file keeps what reached it with its header right
// (a file that could not be started is not left behind), the user is told which file, how much it
// keeps and why, and Failed() says so to the capture engine.
class AudioFileWriter {
 public:
  AudioFileWriter(AudioCodecManager& codecs, WmaWriterFactory& wmaFactory, Messages& messages,
                  MainWindowView& view);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Opens the recording's file, named after `captureFileName` (its "avi" replaced by "wav" or
  // "wma"), in `formats`, which the writer copies: the recording keeps them to its end.
  // User-interface thread.
  void Open(const std::string& captureFileName, const AudioFormatSettings& formats);

  // Writes one captured buffer in the input format. Nothing after Close, and nothing while an
  // earlier Write still runs. Wave reader thread.
  void Write(const uint8_t* data, uint32_t length);

  // Converts what the stream still holds, fixes the sizes and closes the file. The caller has
  // stopped the reader thread first, so no Write runs now or later. User-interface thread.
  void Close();

  // The size at which a file is continued in a numbered one (tests make it small).
  void SetFileSizeLimit(uint64_t bytes) { fileSizeLimit = bytes; }

  // The recording's file could not be created or written: the recording is over. Any thread.
  bool Failed() const { return failed != 0; }
  // ... because its disk was full. Any thread.
  bool DiskFull() const { return diskFull != 0; }
  // The sound the recording's files keep, in milliseconds (for WMA, the sound it was given).
  // After Close.
  uint64_t SoundMilliseconds() const;

  // The file the last Open named (the first of a recording that was continued).
  const std::string& FileName() const { return fileName; }

 private:
  bool OpenPart();
  void Append(std::span<const uint8_t> data);
  void Fail(const char* message);
  // Ends the recording after its file failed. Under fileMutex.
  void StopOnFailure();
  // Sample frames of the compression format in the current part so far. Under fileMutex.
  uint64_t PartSamples();
  void ShowIndicator();
  void RunSync();
  void SyncOnce();
  std::string PartName(int part) const;

  AcmConverter converter;
  WmaFile wmaFile;
  Messages& messages;
  MainWindowView& view;

  AudioFormatSettings formats;  // the recording's own copy
  std::string fileName;
  int part = 1;
  uint64_t fileSizeLimit = 0xFFFFFFFFull;  // the RIFF sizes are 32 bits
  std::mutex fileMutex;                    // the file, against the sync thread
  RiffWaveFile file;
  std::string currentPath;

  std::atomic<int32_t> stopped{1};
  std::atomic<int32_t> writeBusy{0};
  std::atomic<int32_t> writing{0};      // the file takes data: no failure so far
  std::atomic<int32_t> failed{0};       // the file failed: the recording is over
  std::atomic<int32_t> diskFull{0};     // ... on a full disk
  std::atomic<uint64_t> inputBytes{0};  // captured bytes of this recording
  uint64_t samplesBeforePart = 0;       // sample frames in the recording's earlier parts
  uint64_t partSamples = 0;             // and in the current one, as its "fact" says
  int32_t indicatorPhase = 0;           // goes on from one recording to the next

  std::mutex syncMutex;
  std::condition_variable syncWake;
  bool syncStop = false;
  std::thread syncer;
};

}  // namespace kelmo
