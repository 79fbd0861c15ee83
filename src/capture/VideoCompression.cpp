#include "capture/VideoCompression.h"

#include <array>

namespace kelmo {
namespace {

constexpr std::array<VideoCodecInfo, 6> kCodecs{{
    // Frames as the source gives them: large files, no loss, no work.
    {VideoCodec::Uncompressed, "raw", "Full Frames (Uncompressed)", "rawvideo", nullptr, 0, 0, 0,
     false, 100},
    // Every frame a JPEG picture: the usual choice for TV capture; quantiser 2 (best) to 31.
    {VideoCodec::MotionJpeg, "mjpeg", "Motion JPEG", "mjpeg", "Quantiser (2 = best)", 2, 31, 3,
     true, 15},
    // Lossless, about half the size of full frames.
    {VideoCodec::HuffYuv, "huffyuv", "HuffYUV (lossless)", "huffyuv", nullptr, 0, 0, 0, false, 60},
    // Lossless, about half the size of HuffYUV: the codec archives keep tapes in (version 3, with
    // a checksum in every slice, so damage is found and stays within its slice).
    {VideoCodec::Ffv1, "ffv1", "FFV1 (lossless)", "ffv1", nullptr, 0, 0, 0, false, 40},
    // MPEG-4 Part 2 (as DivX and Xvid write it); quantiser 2 (best) to 31.
    {VideoCodec::Mpeg4, "mpeg4", "MPEG-4 Part 2", "mpeg4", "Quantiser (2 = best)", 2, 31, 4, true,
     5},
    // H.264 without B-frames, which an AVI cannot order; constant rate factor 0 (best) to 51.
    {VideoCodec::H264, "h264", "H.264", "libx264", "Rate factor (0 = best)", 0, 51, 23, true, 5},
}};

}  // namespace

std::span<const VideoCodecInfo> VideoCodecs() { return kCodecs; }

const VideoCodecInfo& CodecInfo(VideoCodec codec) {
  for (const VideoCodecInfo& info : kCodecs)
    if (info.codec == codec) return info;
  return kCodecs[0];
}

std::optional<VideoCodec> CodecFromKey(const std::string& key) {
  for (const VideoCodecInfo& info : kCodecs)
    if (key == info.key) return info.codec;
  return std::nullopt;
}

VideoCompressionChoice Normalised(VideoCompressionChoice choice) {
  const VideoCodecInfo& info = CodecInfo(choice.codec);
  if (info.qualityLabel == nullptr)
    choice.quality = 0;
  else if (choice.quality < info.qualityMin || choice.quality > info.qualityMax)
    choice.quality = info.qualityDefault;
  return choice;
}

}  // namespace kelmo
