#pragma once

#include <string>

#include "audio/WaveFormat.h"

namespace kelmo {

// The sound format of AVI recordings, also the format the level meter listens in while nothing
// records: the format tag's name as the chooser showed it (not saved in the settings) and the
// format's values.
struct AviAudioFormat {
  std::string formatName = "PCM";
  WaveFormatEx format = DefaultPcmFormat();
};

}  // namespace kelmo
