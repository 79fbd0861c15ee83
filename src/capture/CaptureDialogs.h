#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "capture/VideoCompression.h"
#include "capture/VideoSource.h"

namespace kelmo {

// The driver's own dialogs, shown by the capture window. User-interface thread, modal to the main
// window.
class CaptureDialogs {
 public:
  virtual ~CaptureDialogs() = default;

  // Applies a change of input for the video source dialog and answers how it went.
  using InputSelector = std::function<DeviceError(int index)>;

  // The input and the picture controls of `source`, which may be streaming. A control reaches
  // the source as it is moved; a change of input goes to `selectInput` (which stops the stream
  // around it), and a refused one puts the list back on the input in use. False when the dialog
  // could not be shown.
  virtual bool VideoSourceDialog(VideoSource& source, const InputSelector& selectInput) = 0;
  // A size and layout among `modes`, opening on `current`; nothing when cancelled.
  virtual std::optional<VideoMode> VideoFormatDialog(const std::vector<VideoMode>& modes,
                                                     const VideoMode& current) = 0;
  // A compressor and its quality, opening on `current`; nothing when cancelled.
  virtual std::optional<VideoCompressionChoice> CompressionDialog(
      const VideoCompressionChoice& current) = 0;
};

}  // namespace kelmo
