#pragma once

#include "capture/VideoFrame.h"

namespace kelmo {

// Where the capture window shows its live picture: the picture area of the main window.
class PictureView {
 public:
  virtual ~PictureView() = default;

  // Any thread (the capture thread). The view copies what it needs and paints on its own thread,
  // scaled to its size; a frame that arrives before the last was painted replaces it.
  virtual void ShowFrame(const VideoFrame& frame) = 0;
  // Any thread. Nothing to show (no driver, preview off): the area goes black.
  virtual void ClearPicture() = 0;
};

}  // namespace kelmo
