#include "audio/linux/FfmpegCodecManager.h"

#include "audio/WaveFormat.h"
#include "audio/linux/FfmpegAcmStream.h"

namespace kelmo {

int FfmpegCodecManager::ChooseFormat(AcmFormatChoice&) { return kAcmErrNotPossible; }

int FfmpegCodecManager::StreamOpen(const std::vector<uint8_t>& source,
                                   const std::vector<uint8_t>& destination,
                                   std::unique_ptr<AcmStream>& stream) {
  const auto from = WaveFormatEx::FromBytes(source);
  const auto to = WaveFormatEx::FromBytes(destination);
  if (!from || !to) return kAcmErrInvalid;
  return FfmpegAcmStream::Open(*from, *to, stream);
}

}  // namespace kelmo
