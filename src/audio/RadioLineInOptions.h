#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audio/AudioCodecManager.h"
#include "audio/AudioFormatSettings.h"
#include "platform/Messages.h"

namespace kelmo {

// The two choices of the Options for Radio / Line in dialog: the format the sound card records in,
// and the format the file is written in (a WMA codec there sends recordings to a WMA file, with
// its own options). Every choice takes effect at once. User-interface thread.
class RadioLineInOptions {
 public:
  // `openWmaOptions` shows the WMA output options modally (WmaOptions holds their rules).
  RadioLineInOptions(AudioFormatSettings& formats, AudioCodecManager& codecs, Messages& messages,
                     std::function<void()> openWmaOptions)
      : formats(formats),
        codecs(codecs),
        messages(messages),
        openWmaOptions(std::move(openWmaOptions)) {}

  // The chooser, offering the formats of the input format's tag (PCM for a first choice). A new
  // input format clears the compression format, which must then be chosen again.
  void ChooseInputFormat();

  // The chooser, offering what the input format converts to. Refused with a message before an
  // input format is set.
  void ChooseCompressionFormat();

 private:
  // Runs the chooser on `buffer` (kept when `set` and held, else a new default PCM buffer named
  // "PCM"); true when a format was chosen. A failure is told and clears `set`.
  bool Choose(std::vector<uint8_t>& buffer, std::string& name, int32_t& set,
              AcmFormatEnum enumeration, const std::vector<uint8_t>& enumerationFormat);

  AudioFormatSettings& formats;
  AudioCodecManager& codecs;
  Messages& messages;
  std::function<void()> openWmaOptions;
};

// The compression names that send recordings to a WMA file, compared byte for byte.
bool IsWmaFormatName(const std::string& name);

}  // namespace kelmo
