#pragma once

#include "capture/VideoFrame.h"

namespace kelmo {

// Turns a full-height interlaced picture (two fields woven together) into whole frames for the
// live picture. Recordings never pass through it. Called on the grabber thread only.
class Deinterlacer {
 public:
  virtual ~Deinterlacer() = default;

  // Takes `in` (any size and pixel format a source delivers) and, when a frame is ready, writes it
  // as BGR24 into `out` (whose buffer is reused) and returns true. The frame that comes out is
  // `in` itself: the live picture never waits for the next frame. False when the filter failed;
  // `Failed()` then says so and the caller shows the picture as captured.
  virtual bool Process(const VideoFrame& in, VideoFrame& out) = 0;
  virtual bool Failed() const = 0;
  // The next frame starts a new stream (after a pause, or a change of size or format).
  virtual void Reset() = 0;
};

}  // namespace kelmo
