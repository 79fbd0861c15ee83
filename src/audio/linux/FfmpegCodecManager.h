#pragma once

#include "audio/AudioCodecManager.h"

namespace kelmo {

// The conversions of the codec manager, on FFmpeg (FfmpegAcmStream). It has no window: the
// program's codec manager pairs it with the format chooser window, which asks it what converts.
class FfmpegCodecManager final : public AudioCodecManager {
 public:
  // kAcmErrNotPossible: choosing is the chooser window's work.
  int ChooseFormat(AcmFormatChoice& choice) override;
  int StreamOpen(const std::vector<uint8_t>& source, const std::vector<uint8_t>& destination,
                 std::unique_ptr<AcmStream>& stream) override;
};

}  // namespace kelmo
