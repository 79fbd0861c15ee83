#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/DeviceError.h"
#include "capture/VideoFrame.h"

namespace kelmo {

// A picture size and layout a source can deliver.
struct VideoMode {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Bgr24;

  bool operator==(const VideoMode&) const = default;
};

// A picture control (brightness, contrast, saturation, hue) as the source offers it.
struct VideoControl {
  int id = 0;        // the source's own identifier
  std::string name;  // shown in the video source dialog
  int minimum = 0;
  int maximum = 0;
  int step = 1;
  int defaultValue = 0;
  int value = 0;
};

// One device that delivers pictures: a V4L2 capture device or the test pattern. Open, set up,
// stream, close. Set-up calls come from the user-interface thread; the input and the format are
// changed only while the source does not stream (a V4L2 driver refuses them while it streams,
// with Busy), picture controls at any time. NextFrame comes from the one thread that reads the
// stream. Failures name the device and carry the kind and the system's text.
class VideoSource {
 public:
  virtual ~VideoSource() = default;

  // The device node ("/dev/video0"); empty for a source that is not a device.
  virtual std::string DevicePath() const = 0;

  // Opens the device and logs what it was set to.
  virtual DeviceError Open() = 0;
  virtual void Close() = 0;

  // The sizes and layouts offered, the one in use, and a change of it (FormatNotSupported: the
  // device does not take it or settles on another).
  virtual std::vector<VideoMode> Modes() = 0;
  virtual VideoMode Mode() = 0;
  virtual DeviceError SetMode(const VideoMode& mode) = 0;

  // Video inputs (tuner, composite, ...) and the one in use.
  virtual std::vector<std::string> Inputs() = 0;
  virtual int Input() = 0;
  virtual DeviceError SetInput(int index) = 0;

  // Picture controls with their current values; a change takes effect on the next frames.
  virtual std::vector<VideoControl> Controls() = 0;
  virtual DeviceError SetControl(int id, int value) = 0;

  // The time between frames the stream should deliver, in microseconds; the source keeps to the
  // nearest it can.
  virtual void SetFrameInterval(uint32_t microSeconds) = 0;

  // A destructive overlay can show the picture without the program copying it.
  virtual bool HasOverlay() const = 0;

  // Starts the stream and logs its input, layout, size and frame interval.
  virtual DeviceError StartStreaming() = 0;
  virtual void StopStreaming() = 0;
  // Waits up to `timeoutMs` for the next picture into `frame`. False on time-out (error ok) or
  // when the stream failed (error set; the stream is then over).
  virtual bool NextFrame(VideoFrame& frame, int timeoutMs, DeviceError& error) = 0;
};

// The sources on this machine, in the order the driver list shows them.
class VideoSourceCatalog {
 public:
  virtual ~VideoSourceCatalog() = default;

  struct Entry {
    std::string name;     // the device's own name
    std::string version;  // the driver's version, as text
  };

  // User-interface thread. Lists the sources afresh.
  virtual std::vector<Entry> List() = 0;
  // The source at `index` of the last List(), or null.
  virtual std::unique_ptr<VideoSource> Make(int index) = 0;
};

}  // namespace kelmo
