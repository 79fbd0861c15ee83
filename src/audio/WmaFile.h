#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioFormatSettings.h"
#include "audio/WmaWriter.h"
#include "platform/Messages.h"

namespace kelmo {

// The WMA side of a sound recording: opens a writer for each recording, hands it the captured
// buffers and completes the file. Failures are told in a message box and the capture goes on;
// writes after a failed open are skipped.
class WmaFile {
 public:
  WmaFile(WmaWriterFactory& factory, Messages& messages) : factory(factory), messages(messages) {}
  ~WmaFile() { Release(); }

  WmaFile(const WmaFile&) = delete;
  WmaFile& operator=(const WmaFile&) = delete;

  // Releases the writer of the previous recording, then creates the file named after the capture
  // file with the extension "wma" and gives the writer the input format and the WMA output
  // settings. User-interface thread.
  void Open(const std::string& captureFileName, const AudioFormatSettings& formats);

  // Hands a captured buffer in the input format to the writer, when one is open. Wave reader
  // thread; the caller keeps it from overlapping Open, Flush and Release.
  void Write(const uint8_t* data, uint32_t length);

  // Completes the file. The writer stays until the next Open or Release. User-interface thread.
  void Flush();

  // Lets the writer go (at exit); a writer not flushed completes its file first.
  void Release() { writer.reset(); }

  // The file the last Open wrote, or an empty name before the first.
  const std::string& FileName() const { return fileName; }

 private:
  WmaWriterFactory& factory;
  Messages& messages;
  std::unique_ptr<WmaWriter> writer;
  std::string fileName;
};

// The capture file name with its last three characters (the extension "avi") replaced by
// `extension`.
std::string SoundFileName(const std::string& captureFileName, const std::string& extension);

}  // namespace kelmo
