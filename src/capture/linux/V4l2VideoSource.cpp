#include "capture/linux/V4l2VideoSource.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Log.h"

namespace kelmo {
namespace {

constexpr uint32_t kBufferCount = 4;

// The sizes offered from a device that takes any size within a range: PAL's full and half
// pictures, and the common computer sizes.
constexpr std::pair<int, int> kStandardSizes[] = {{384, 288}, {768, 576}, {720, 576},
                                                  {640, 480}, {352, 288}, {320, 240}};

// Picture controls the video source dialog offers.
constexpr std::pair<uint32_t, const char*> kControls[] = {{V4L2_CID_BRIGHTNESS, "Brightness"},
                                                          {V4L2_CID_CONTRAST, "Contrast"},
                                                          {V4L2_CID_SATURATION, "Saturation"},
                                                          {V4L2_CID_HUE, "Hue"}};

// A device that loses this many frames in a row has stopped streaming.
constexpr int kMaxLostFrames = 50;

// "YUYV": a pixel format's code as text, for the log.
std::string FourccText(uint32_t fourcc) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += static_cast<char>((fourcc >> (8 * i)) & 0xFF);
  return text;
}

std::optional<PixelFormat> OurFormat(uint32_t fourcc) {
  if (fourcc == V4L2_PIX_FMT_YUYV) return PixelFormat::Yuyv;
  if (fourcc == V4L2_PIX_FMT_BGR24 || fourcc == V4L2_PIX_FMT_RGB24) return PixelFormat::Bgr24;
  return std::nullopt;
}

}  // namespace

std::string V4l2VideoSource::Named() const { return device.card + " (" + device.path + ")"; }

DeviceError V4l2VideoSource::Failure(const std::string& what, int code) const {
  DeviceError e = DeviceError::FromErrno(code, Named());
  e.systemText = what + ": " + e.systemText;
  return e;
}

DeviceError V4l2VideoSource::Open() {
  if (fd >= 0) return DeviceError::Ok();
  const int result = io.Open(device.path, O_RDWR | O_NONBLOCK);
  if (result < 0) return Failure("the device cannot be opened", result);
  fd = result;
  offered = DeviceFormats();
  ReadCurrentMode();
  // Start from a layout the program takes, at the picture's usual size.
  if (!OurFormat(devicePixels)) {
    for (PixelFormat f : {PixelFormat::Yuyv, PixelFormat::Bgr24})
      if (SetMode({384, 288, f}).ok() || SetMode({mode.width, mode.height, f}).ok()) break;
  }
  LogInfo("capture", "%s opened: input %d, %s %dx%d", Named().c_str(), Input(),
          FourccText(devicePixels).c_str(), mode.width, mode.height);
  return DeviceError::Ok();
}

void V4l2VideoSource::Close() {
  StopStreaming();
  if (fd >= 0) io.Close(fd);
  fd = -1;
}

std::vector<uint32_t> V4l2VideoSource::DeviceFormats() {
  std::vector<uint32_t> formats;
  for (uint32_t i = 0;; ++i) {
    v4l2_fmtdesc desc{};
    desc.index = i;
    desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (io.Ioctl(fd, VIDIOC_ENUM_FMT, &desc) < 0) break;
    formats.push_back(desc.pixelformat);
  }
  return formats;
}

void V4l2VideoSource::ReadCurrentMode() {
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (io.Ioctl(fd, VIDIOC_G_FMT, &format) < 0) return;
  devicePixels = format.fmt.pix.pixelformat;
  bytesPerLine = format.fmt.pix.bytesperline;
  mode.width = static_cast<int>(format.fmt.pix.width);
  mode.height = static_cast<int>(format.fmt.pix.height);
  mode.format = OurFormat(devicePixels).value_or(PixelFormat::Bgr24);
}

uint32_t V4l2VideoSource::DeviceFormatFor(PixelFormat format) const {
  auto has = [this](uint32_t f) {
    return std::find(offered.begin(), offered.end(), f) != offered.end();
  };
  if (format == PixelFormat::Yuyv) return has(V4L2_PIX_FMT_YUYV) ? V4L2_PIX_FMT_YUYV : 0;
  if (has(V4L2_PIX_FMT_BGR24)) return V4L2_PIX_FMT_BGR24;
  return has(V4L2_PIX_FMT_RGB24) ? V4L2_PIX_FMT_RGB24 : 0;
}

std::vector<VideoMode> V4l2VideoSource::Modes() {
  std::vector<VideoMode> modes;
  if (fd < 0) return modes;
  for (PixelFormat f : {PixelFormat::Bgr24, PixelFormat::Yuyv}) {
    const uint32_t fourcc = DeviceFormatFor(f);
    if (fourcc == 0) continue;
    auto add = [&](int w, int h) {
      const VideoMode m{w, h, f};
      if (std::find(modes.begin(), modes.end(), m) == modes.end()) modes.push_back(m);
    };
    v4l2_frmsizeenum size{};
    size.pixel_format = fourcc;
    if (io.Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) < 0) {
      // A driver that does not list its sizes takes those of the picture it delivers.
      for (const auto& [w, h] : kStandardSizes) add(w, h);
      continue;
    }
    if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
      for (uint32_t i = 0; io.Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) >= 0; size.index = ++i)
        add(static_cast<int>(size.discrete.width), static_cast<int>(size.discrete.height));
      continue;
    }
    const v4l2_frmsize_stepwise& r = size.stepwise;
    for (const auto& [w, h] : kStandardSizes)
      if (static_cast<uint32_t>(w) >= r.min_width && static_cast<uint32_t>(w) <= r.max_width &&
          static_cast<uint32_t>(h) >= r.min_height && static_cast<uint32_t>(h) <= r.max_height)
        add(w, h);
  }
  return modes;
}

DeviceError V4l2VideoSource::SetMode(const VideoMode& wanted) {
  const uint32_t fourcc = DeviceFormatFor(wanted.format);
  if (fd < 0) return {DeviceErrorKind::Io, Named(), "not open"};
  if (fourcc == 0) return {DeviceErrorKind::FormatNotSupported, Named(), "no such pixel format"};
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  format.fmt.pix.width = static_cast<uint32_t>(wanted.width);
  format.fmt.pix.height = static_cast<uint32_t>(wanted.height);
  format.fmt.pix.pixelformat = fourcc;
  format.fmt.pix.field = V4L2_FIELD_ANY;
  if (const int rc = io.Ioctl(fd, VIDIOC_S_FMT, &format); rc < 0)
    return Failure("the format cannot be set", rc);
  ReadCurrentMode();
  if (mode != wanted)
    return {DeviceErrorKind::FormatNotSupported, Named(), "the device chose another size"};
  return DeviceError::Ok();
}

std::vector<std::string> V4l2VideoSource::Inputs() {
  std::vector<std::string> names;
  for (uint32_t i = 0; fd >= 0; ++i) {
    v4l2_input input{};
    input.index = i;
    if (io.Ioctl(fd, VIDIOC_ENUMINPUT, &input) < 0) break;
    names.emplace_back(reinterpret_cast<const char*>(input.name),
                       strnlen(reinterpret_cast<const char*>(input.name), sizeof input.name));
  }
  return names;
}

int V4l2VideoSource::Input() {
  int index = 0;
  if (fd < 0 || io.Ioctl(fd, VIDIOC_G_INPUT, &index) < 0) return 0;
  return index;
}

DeviceError V4l2VideoSource::SetInput(int index) {
  if (fd < 0) return {DeviceErrorKind::Io, Named(), "not open"};
  if (const int rc = io.Ioctl(fd, VIDIOC_S_INPUT, &index); rc < 0)
    return Failure("the input cannot be chosen", rc);
  return DeviceError::Ok();
}

std::vector<VideoControl> V4l2VideoSource::Controls() {
  std::vector<VideoControl> controls;
  for (const auto& [id, name] : kControls) {
    v4l2_queryctrl query{};
    query.id = id;
    if (fd < 0 || io.Ioctl(fd, VIDIOC_QUERYCTRL, &query) < 0 ||
        (query.flags & V4L2_CTRL_FLAG_DISABLED) != 0)
      continue;
    v4l2_control value{};
    value.id = id;
    const int current =
        io.Ioctl(fd, VIDIOC_G_CTRL, &value) >= 0 ? value.value : query.default_value;
    controls.push_back({static_cast<int>(id), name, query.minimum, query.maximum,
                        std::max(1, query.step), query.default_value, current});
  }
  return controls;
}

DeviceError V4l2VideoSource::SetControl(int id, int value) {
  v4l2_control control{};
  control.id = static_cast<uint32_t>(id);
  control.value = value;
  if (fd < 0) return {DeviceErrorKind::Io, Named(), "not open"};
  if (const int rc = io.Ioctl(fd, VIDIOC_S_CTRL, &control); rc < 0)
    return Failure("the picture control cannot be set", rc);
  return DeviceError::Ok();
}

void V4l2VideoSource::SetFrameInterval(uint32_t microSeconds) {
  if (fd < 0 || streaming) return;
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  parm.parm.capture.timeperframe = {microSeconds, 1000000};
  io.Ioctl(fd, VIDIOC_S_PARM, &parm);  // a device with a fixed rate keeps it
}

DeviceError V4l2VideoSource::StartStreaming() {
  if (fd < 0) return {DeviceErrorKind::Io, Named(), "not open"};
  if (streaming) return DeviceError::Ok();
  v4l2_requestbuffers request{};
  request.count = kBufferCount;
  request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  request.memory = V4L2_MEMORY_MMAP;
  int rc = io.Ioctl(fd, VIDIOC_REQBUFS, &request);
  if (rc < 0 || request.count == 0)
    return Failure("the device cannot stream", rc < 0 ? rc : -ENOMEM);
  for (uint32_t i = 0; i < request.count; ++i) {
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = i;
    rc = io.Ioctl(fd, VIDIOC_QUERYBUF, &buffer);
    void* start = rc < 0 ? nullptr
                         : io.Mmap(buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd,
                                   static_cast<off_t>(buffer.m.offset));
    if (start == nullptr || start == MAP_FAILED) {
      ReleaseBuffers();
      return Failure("the device's buffers cannot be mapped", rc < 0 ? rc : -ENOMEM);
    }
    buffers.push_back({start, buffer.length});
    rc = io.Ioctl(fd, VIDIOC_QBUF, &buffer);
    if (rc < 0) {
      ReleaseBuffers();
      return Failure("the device cannot stream", rc);
    }
  }
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  rc = io.Ioctl(fd, VIDIOC_STREAMON, &type);
  if (rc < 0) {
    ReleaseBuffers();
    return Failure("the device cannot stream", rc);
  }
  streaming = true;
  sequence = 0;
  lostFrames = 0;
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  const v4l2_fract interval =
      io.Ioctl(fd, VIDIOC_G_PARM, &parm) >= 0 ? parm.parm.capture.timeperframe : v4l2_fract{0, 0};
  LogInfo("capture", "%s streams: input %d, %s %dx%d, frame interval %u/%u s", Named().c_str(),
          Input(), FourccText(devicePixels).c_str(), mode.width, mode.height, interval.numerator,
          interval.denominator);
  return DeviceError::Ok();
}

void V4l2VideoSource::StopStreaming() {
  if (!streaming) return;
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  io.Ioctl(fd, VIDIOC_STREAMOFF, &type);
  streaming = false;
  ReleaseBuffers();
}

void V4l2VideoSource::ReleaseBuffers() {
  for (const Buffer& b : buffers) io.Munmap(b.start, b.length);
  buffers.clear();
  v4l2_requestbuffers request{};
  request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  request.memory = V4L2_MEMORY_MMAP;
  io.Ioctl(fd, VIDIOC_REQBUFS, &request);
}

bool V4l2VideoSource::NextFrame(VideoFrame& frame, int timeoutMs, DeviceError& error) {
  error = DeviceError::Ok();
  if (!streaming) {
    error = {DeviceErrorKind::Io, Named(), "not streaming"};
    return false;
  }
  pollfd wait{fd, POLLIN, 0};
  int rc = io.Poll(&wait, 1, timeoutMs);
  if (rc == 0 || rc == -EINTR) return false;
  if (rc < 0 || (wait.revents & (POLLERR | POLLNVAL)) != 0) {
    error = Failure("the picture stream stopped", rc < 0 ? rc : -EIO);
    StopStreaming();
    return false;
  }
  v4l2_buffer buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  rc = io.Ioctl(fd, VIDIOC_DQBUF, &buffer);
  if (rc == -EAGAIN) return false;
  // A lost frame (signal trouble, a driver hiccup) is a fault the stream recovers from: the
  // buffer goes back and the next frame is waited for; only a long run of them ends the stream.
  const bool lost = rc == -EIO || (rc >= 0 && (buffer.flags & V4L2_BUF_FLAG_ERROR) != 0);
  if (lost && ++lostFrames <= kMaxLostFrames) {
    if (lostFrames == 1)
      LogWarning("capture", "%s: a frame was lost (%s); waiting for the next", Named().c_str(),
                 rc < 0 ? std::strerror(-rc) : "buffer error");
    if (rc >= 0) io.Ioctl(fd, VIDIOC_QBUF, &buffer);
    return false;
  }
  if (rc < 0 || buffer.index >= buffers.size()) {
    error = Failure("the picture stream stopped", rc < 0 ? rc : -EIO);
    LogError("capture", "%s: the picture stream stopped after %d lost frame(s)", Named().c_str(),
             lostFrames);
    StopStreaming();
    return false;
  }
  if (lostFrames > 0) {
    LogInfo("capture", "%s: pictures again after %d lost frame(s)", Named().c_str(), lostFrames);
    lostFrames = 0;
  }
  frame.Resize(mode.width, mode.height, mode.format);
  const std::size_t row = frame.Stride();
  const std::size_t stride = std::max<std::size_t>(bytesPerLine, row);
  const auto* src = static_cast<const uint8_t*>(buffers[buffer.index].start);
  const std::size_t rows =
      std::min<std::size_t>(static_cast<std::size_t>(mode.height), buffer.bytesused / stride);
  for (std::size_t y = 0; y < rows; ++y) {
    uint8_t* out = frame.data.data() + y * row;
    std::memcpy(out, src + y * stride, row);
    if (devicePixels == V4L2_PIX_FMT_RGB24)  // red first: swap to the bitmap's order
      for (std::size_t x = 0; x + 2 < row; x += 3) std::swap(out[x], out[x + 2]);
  }
  frame.sequence = sequence++;
  io.Ioctl(fd, VIDIOC_QBUF, &buffer);
  return true;
}

std::vector<VideoSourceCatalog::Entry> V4l2SourceCatalog::List() {
  devices = DiscoverV4l2Devices(io);
  std::vector<Entry> entries;
  for (const V4l2DeviceInfo& d : devices)
    entries.push_back({d.card, "Version: " + DriverVersionText(d.driverVersion)});
  return entries;
}

std::unique_ptr<VideoSource> V4l2SourceCatalog::Make(int index) {
  if (index < 0 || index >= static_cast<int>(devices.size())) return nullptr;
  return std::make_unique<V4l2VideoSource>(io, devices[static_cast<std::size_t>(index)]);
}

}  // namespace kelmo
