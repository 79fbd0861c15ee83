#pragma once

#include <optional>
#include <vector>

#include "capture/VideoCompression.h"
#include "capture/VideoSource.h"

namespace kelmo {

// The driver's own dialogs, shown by the capture window. User-interface thread, modal to the main
// window; the source does not stream while one is open.
class CaptureDialogs {
 public:
  virtual ~CaptureDialogs() = default;

  // The input and the picture controls of `source`; changes reach the source as they are made.
  // False when the dialog could not be shown.
  virtual bool VideoSourceDialog(VideoSource& source) = 0;
  // A size and layout among `modes`, opening on `current`; nothing when cancelled.
  virtual std::optional<VideoMode> VideoFormatDialog(const std::vector<VideoMode>& modes,
                                                     const VideoMode& current) = 0;
  // A compressor and its quality, opening on `current`; nothing when cancelled.
  virtual std::optional<VideoCompressionChoice> CompressionDialog(
      const VideoCompressionChoice& current) = 0;
};

}  // namespace kelmo
