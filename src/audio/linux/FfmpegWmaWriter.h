#pragma once

#include <optional>
#include <vector>

#include "audio/WaveFormat.h"
#include "audio/WmaWriter.h"

namespace kelmo {

// WMA files written with FFmpeg: the wmav1 or wmav2 encoder in an ASF file. The ASF header cannot
// be brought up to date while recording, so the file is written in small packets (an eighth of a
// second each) and handed to the system once a second of sound: a recording cut off by a crash
// still plays to within a second of its end.
class FfmpegWmaWriterFactory final : public WmaWriterFactory {
 public:
  // The encoders' floor: lower bit rates are encoded at this one.
  static constexpr int32_t kMinBitrate = 24000;

  int32_t Create(std::string& path, WmaCodec codec, std::unique_ptr<WmaWriter>& writer) override;
};

// The WAVEFORMATEX of a WMA stream as the encoder writes it (its block size and extra data), at
// `bitrate` raised to the floor; nullopt when the encoder refuses the rate or channels.
std::optional<WaveFormatEx> DescribeWmaFormat(WmaCodec codec, int32_t sampleRate, int32_t channels,
                                              int32_t bitrate);

// The WMA formats the format chooser offers: for both codecs, one per rate, channel count and
// encoded bit rate of the WMA output table.
std::vector<WaveFormatEx> OfferedWmaFormats();

}  // namespace kelmo
