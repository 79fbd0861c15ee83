#include "audio/RadioLineInOptions.h"

#include "audio/AcmFormatTable.h"
#include "audio/WaveFormat.h"

namespace kelmo {

bool IsWmaFormatName(const std::string& name) {
  return name == "Windows Media Audio V1" || name == "Windows Media Audio V2";
}

bool RadioLineInOptions::Choose(std::vector<uint8_t>& buffer, std::string& name, int32_t& set,
                                AcmFormatEnum enumeration,
                                const std::vector<uint8_t>& enumerationFormat) {
  const std::size_t size = AcmMaxFormatSize();
  if (!set || !IsValidWaveFormatBlock(buffer)) {
    buffer = DefaultPcmFormat().ToBytes();
    name = "PCM";
  }
  // A buffer restored from the settings has only its stored size; the chooser may write a larger
  // format into it.
  if (buffer.size() < size) buffer.resize(size);

  AcmFormatChoice choice;
  choice.format = buffer;
  choice.enumeration = enumeration;
  // The same-tag enumeration refers to the buffer itself.
  choice.enumerationFormat = enumeration == AcmFormatEnum::SameTag ? buffer : enumerationFormat;
  const int result = codecs.ChooseFormat(choice);
  if (result == kAcmOk) {
    buffer = std::move(choice.format);
    name = std::move(choice.formatTagName);
    return true;
  }
  if (result != kAcmErrCanceled) {
    messages.Show("ERROR en Dialogo acmFormatChoose");
    set = 0;
  }
  return false;
}

void RadioLineInOptions::ChooseInputFormat() {
  if (Choose(formats.inputFormat, formats.inputFormatName, formats.inputFormatSet,
             AcmFormatEnum::SameTag, {})) {
    formats.compressionFormatSet = 0;
    formats.inputFormatSet = 1;
  }
}

void RadioLineInOptions::ChooseCompressionFormat() {
  if (!formats.inputFormatSet) {
    messages.Show("You must set the Input Format first");
    return;
  }
  if (Choose(formats.compressionFormat, formats.compressionFormatName, formats.compressionFormatSet,
             AcmFormatEnum::ConvertFrom, formats.inputFormat))
    formats.compressionFormatSet = 1;
  // Also after a cancel or a failure: the name kept decides.
  if (IsWmaFormatName(formats.compressionFormatName)) {
    formats.wmaOutput = 1;
    if (openWmaOptions) openWmaOptions();
  } else {
    formats.wmaOutput = 0;
    formats.wmaBitrate = 0;
    formats.wmaSampleRate = 0;
    formats.wmaChannels = 0;
  }
}

}  // namespace kelmo
