#pragma once

#include <optional>
#include <span>
#include <string>

namespace kelmo {

// The compressors an AVI recording can use.
enum class VideoCodec { Uncompressed, MotionJpeg, HuffYuv, Ffv1, Mpeg4, H264 };

struct VideoCodecInfo {
  VideoCodec codec;
  const char* key;           // as config.dat stores it ("Compressor")
  const char* name;          // as the compression dialog shows it
  const char* encoder;       // the FFmpeg encoder
  const char* qualityLabel;  // nullptr: the codec has no quality setting
  int qualityMin;
  int qualityMax;
  int qualityDefault;
  bool lowerIsBetter;  // a quantiser or a rate factor: smaller values give better pictures
  int keptPercent;     // about what a TV picture keeps of its raw size, for the room it needs
};

// Every compressor, in the order the dialog lists them.
std::span<const VideoCodecInfo> VideoCodecs();
const VideoCodecInfo& CodecInfo(VideoCodec codec);
std::optional<VideoCodec> CodecFromKey(const std::string& key);

// A compressor and its quality setting (ignored by a codec without one).
struct VideoCompressionChoice {
  VideoCodec codec = VideoCodec::MotionJpeg;
  int quality = 3;

  bool operator==(const VideoCompressionChoice&) const = default;
};

// A choice within the codec's range: a quality outside it becomes the codec's default.
VideoCompressionChoice Normalised(VideoCompressionChoice choice);

}  // namespace kelmo
