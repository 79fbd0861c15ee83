#pragma once

#include <string>
#include <vector>

#include "capture/VideoSource.h"
#include "platform/linux/v4l2/V4l2Discovery.h"
#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo {

// A V4L2 capture device: its inputs, picture controls and the sizes it offers in YUYV, BGR24 or
// RGB24, streamed through memory-mapped buffers. Every failure names the device. No overlay:
// modern drivers have none.
class V4l2VideoSource final : public VideoSource {
 public:
  V4l2VideoSource(V4l2Io& io, V4l2DeviceInfo device) : io(io), device(std::move(device)) {}
  ~V4l2VideoSource() override { Close(); }

  std::string DevicePath() const override { return device.path; }
  DeviceError Open() override;
  void Close() override;
  std::vector<VideoMode> Modes() override;
  VideoMode Mode() override { return mode; }
  DeviceError SetMode(const VideoMode& mode) override;
  std::vector<std::string> Inputs() override;
  int Input() override;
  DeviceError SetInput(int index) override;
  std::vector<VideoControl> Controls() override;
  DeviceError SetControl(int id, int value) override;
  void SetFrameInterval(uint32_t microSeconds) override;
  bool HasOverlay() const override { return false; }
  DeviceError StartStreaming() override;
  void StopStreaming() override;
  bool NextFrame(VideoFrame& frame, int timeoutMs, DeviceError& error) override;

 private:
  struct Buffer {
    void* start = nullptr;
    std::size_t length = 0;
  };

  // "BT878 video (/dev/video0)": how messages name the device.
  std::string Named() const;
  DeviceError Failure(const std::string& what, int code) const;
  // The device's code of a layout we take, preferring the one we store as is.
  uint32_t DeviceFormatFor(PixelFormat format) const;
  std::vector<uint32_t> DeviceFormats();
  void ReadCurrentMode();
  void ReleaseBuffers();

  V4l2Io& io;
  V4l2DeviceInfo device;
  int fd = -1;
  VideoMode mode;
  uint32_t devicePixels = 0;  // V4L2_PIX_FMT_* of the stream
  uint32_t bytesPerLine = 0;
  std::vector<uint32_t> offered;  // V4L2_PIX_FMT_* the device lists
  std::vector<Buffer> buffers;
  bool streaming = false;
  uint64_t sequence = 0;
  int lostFrames = 0;  // frames lost in a row, told once per run
};

// The V4L2 capture devices of this machine, TV cards first.
class V4l2SourceCatalog final : public VideoSourceCatalog {
 public:
  explicit V4l2SourceCatalog(V4l2Io& io) : io(io) {}

  std::vector<Entry> List() override;
  std::unique_ptr<VideoSource> Make(int index) override;

 private:
  V4l2Io& io;
  std::vector<V4l2DeviceInfo> devices;
};

}  // namespace kelmo
