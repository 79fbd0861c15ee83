#pragma once

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

  int32_t Create(const std::string& path, WmaCodec codec,
                 std::unique_ptr<WmaWriter>& writer) override;
};

}  // namespace kelmo
