#include "audio/WmaFile.h"

namespace kelmo {

std::string SoundFileName(const std::string& captureFileName, const std::string& extension) {
  const std::size_t keep = captureFileName.size() >= 3 ? captureFileName.size() - 3 : 0;
  return captureFileName.substr(0, keep) + extension;
}

void WmaFile::Open(const std::string& captureFileName, const AudioFormatSettings& formats) {
  fileName = SoundFileName(captureFileName, "wma");
  // The previous recording's writer goes before the new file is created.
  writer.reset();
  // The chooser's name is what made this a WMA recording, so it also picks the codec.
  const WmaCodec codec =
      formats.compressionFormatName == "Windows Media Audio V1" ? WmaCodec::V1 : WmaCodec::V2;
  // fileName becomes the next free name when the chosen one is taken by now.
  if (factory.Create(fileName, codec, writer) < 0 || writer == nullptr) {
    writer.reset();
    messages.Show("ERROR creando WindowsMediaAudioWriter");
    return;
  }
  if (writer->SetInputFormat(formats.inputFormat) < 0) {
    messages.Show("ERROR WMA SetInputFormat");
    writer.reset();
    return;
  }
  if (writer->SetOutputFormat(formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels, 0) <
      0) {
    messages.Show("ERROR WMA SetOutputFormat");
    writer.reset();
  }
}

void WmaFile::Write(const uint8_t* data, uint32_t length) {
  if (writer) writer->Write(data, length);
}

void WmaFile::Flush() {
  if (writer && writer->Flush() < 0) messages.Show("ERROR en WMA Flush");
}

}  // namespace kelmo
