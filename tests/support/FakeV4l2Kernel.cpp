#include "support/FakeV4l2Kernel.h"

#include <linux/i2c-dev.h>
#include <linux/version.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelmo::test {

namespace {

template <std::size_t N>
void Put(uint8_t (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

v4l2_input Input(uint32_t index, const std::string& name, uint32_t type) {
  v4l2_input in{};
  in.index = index;
  Put(in.name, name);
  in.type = type;
  in.std = V4L2_STD_ALL;
  return in;
}

}  // namespace

FakeDevice& FakeV4l2Kernel::AddDevice(const std::string& path) {
  std::lock_guard lock(mutex);
  auto& slot = devices[path];
  slot = std::make_unique<FakeDevice>();
  slot->path = path;
  return *slot;
}

FakeDevice& FakeV4l2Kernel::AddTvCard(int n, const std::string& bus, bool withRadio) {
  const std::string card = "BT878 video (Hauppauge (bt878))";
  const uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_TUNER | V4L2_CAP_READWRITE |
                              V4L2_CAP_STREAMING | V4L2_CAP_VBI_CAPTURE;
  const uint32_t radioCaps = V4L2_CAP_TUNER | V4L2_CAP_RADIO;
  const uint32_t all = deviceCaps | (withRadio ? radioCaps : 0) | V4L2_CAP_DEVICE_CAPS;

  FakeDevice& video = AddDevice("/dev/video" + std::to_string(n));
  Put(video.cap.driver, "bttv");
  Put(video.cap.card, card);
  Put(video.cap.bus_info, bus);
  video.cap.version = KERNEL_VERSION(6, 1, 0);
  video.cap.capabilities = all;
  video.cap.device_caps = deviceCaps;
  FakeTuner tv;
  Put(tv.info.name, "Television");
  tv.info.type = V4L2_TUNER_ANALOG_TV;
  tv.info.capability = V4L2_TUNER_CAP_NORM;
  tv.info.rangelow = 44 * 16;  // 44 to 958 MHz in 62.5 kHz units
  tv.info.rangehigh = 958 * 16;
  video.tuners.push_back(tv);
  video.inputs = {Input(0, "Television", V4L2_INPUT_TYPE_TUNER),
                  Input(1, "Composite1", V4L2_INPUT_TYPE_CAMERA),
                  Input(2, "S-Video", V4L2_INPUT_TYPE_CAMERA)};
  video.inputs[0].status = V4L2_IN_ST_NO_SIGNAL | V4L2_IN_ST_NO_H_LOCK;
  video.std = V4L2_STD_PAL_BG;
  video.controls[V4L2_CID_BRIGHTNESS] = {0, 0xFF00, 0x100, 0x8000, 0x8000};
  video.controls[V4L2_CID_CONTRAST] = {0, 0xFF80, 0x80, 0x6C00, 0x6C00};
  video.controls[V4L2_CID_SATURATION] = {0, 0xFF80, 0x80, 0x8000, 0x8000};
  video.controls[V4L2_CID_HUE] = {0, 0xFF00, 0x100, 0x8000, 0x8000};
  video.controls[V4L2_CID_AUDIO_MUTE] = {0, 1, 1, 0, 0};

  if (withRadio) {
    FakeDevice& radio = AddDevice("/dev/radio" + std::to_string(n));
    radio.radio = true;
    radio.cap = video.cap;
    radio.cap.device_caps = radioCaps;
    FakeTuner fm;
    Put(fm.info.name, "Radio");
    fm.info.type = V4L2_TUNER_RADIO;
    fm.info.capability = V4L2_TUNER_CAP_LOW | V4L2_TUNER_CAP_STEREO;
    fm.info.rangelow = 65 * 16000;  // 65 to 108 MHz in 62.5 Hz units
    fm.info.rangehigh = 108 * 16000;
    radio.tuners.push_back(fm);
    radio.controls[V4L2_CID_AUDIO_MUTE] = {0, 1, 1, 0, 0};
  }
  return Device("/dev/video" + std::to_string(n));
}

FakeDevice& FakeV4l2Kernel::AddCamera(int n, const std::string& bus) {
  FakeDevice& camera = AddDevice("/dev/video" + std::to_string(n));
  Put(camera.cap.driver, "uvcvideo");
  Put(camera.cap.card, "Integrated Camera");
  Put(camera.cap.bus_info, bus);
  camera.cap.version = KERNEL_VERSION(6, 1, 0);
  camera.cap.device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
  camera.cap.capabilities = camera.cap.device_caps | V4L2_CAP_META_CAPTURE | V4L2_CAP_DEVICE_CAPS;
  camera.inputs = {Input(0, "Camera 1", V4L2_INPUT_TYPE_CAMERA)};
  return camera;
}

FakeDevice& FakeV4l2Kernel::AddI2cAdapter(int n, const std::string& name) {
  FakeDevice& adapter = AddDevice("/dev/i2c-" + std::to_string(n));
  adapter.i2c = true;
  std::lock_guard lock(mutex);
  files["/sys/class/i2c-dev/i2c-" + std::to_string(n) + "/name"] = name;
  return adapter;
}

int FakeV4l2Kernel::Open(const std::string& path, int) {
  std::lock_guard lock(mutex);
  const auto it = devices.find(path);
  if (it == devices.end()) return -ENOENT;
  if (it->second->openError != 0) return -it->second->openError;
  open[nextFd] = it->second.get();
  return nextFd++;
}

int FakeV4l2Kernel::Close(int fd) {
  std::lock_guard lock(mutex);
  if (FakeDevice* d = DeviceOf(fd)) d->streaming = false;
  return open.erase(fd) == 1 ? 0 : -EBADF;
}

FakeDevice* FakeV4l2Kernel::DeviceOf(int fd) {
  const auto it = open.find(fd);
  return it == open.end() ? nullptr : it->second;
}

int FakeV4l2Kernel::Ioctl(int fd, unsigned long request, void* arg) {
  std::lock_guard lock(mutex);
  FakeDevice* d = DeviceOf(fd);
  if (d == nullptr) return -EBADF;
  calls.push_back(d->path + " " + V4l2RequestName(request));
  const auto fault = d->ioctlErrors.find(request);
  if (fault != d->ioctlErrors.end()) return -fault->second;
  // As the drivers do: no new input or format while buffers stream.
  if (d->streaming && (request == VIDIOC_S_INPUT || request == VIDIOC_S_FMT)) return -EBUSY;
  const int rc = HandleLocked(*d, request, arg);
  if (rc >= 0 && request == VIDIOC_STREAMON) d->streaming = true;
  if (rc >= 0 && request == VIDIOC_STREAMOFF) d->streaming = false;
  return rc;
}

// What the drivers answer: out-of-range indexes are EINVAL, what the node lacks is ENOTTY.
int FakeV4l2Kernel::HandleLocked(FakeDevice& d, unsigned long request, void* arg) {
  if (d.i2c) {
    if (request != I2C_SLAVE && request != I2C_SLAVE_FORCE) return -ENOTTY;
    const auto address = reinterpret_cast<uintptr_t>(arg);
    if (address > 0x7F) return -EINVAL;
    d.slave = static_cast<int>(address);
    return 0;
  }
  switch (request) {
    case VIDIOC_QUERYCAP:
      *static_cast<v4l2_capability*>(arg) = d.cap;
      return 0;
    case VIDIOC_G_TUNER: {
      auto* t = static_cast<v4l2_tuner*>(arg);
      if (t->index >= d.tuners.size()) return -EINVAL;
      const uint32_t index = t->index;
      *t = d.tuners[index].info;
      t->index = index;
      return 0;
    }
    case VIDIOC_S_FREQUENCY: {
      auto* f = static_cast<v4l2_frequency*>(arg);
      // The kernel refuses a radio frequency on a video node and the other way round.
      if (f->tuner >= d.tuners.size() ||
          f->type != (d.radio ? V4L2_TUNER_RADIO : V4L2_TUNER_ANALOG_TV))
        return -EINVAL;
      FakeTuner& tuner = d.tuners[f->tuner];
      tuner.frequency = std::clamp(f->frequency, tuner.info.rangelow, tuner.info.rangehigh);
      return 0;
    }
    case VIDIOC_ENUMINPUT: {
      auto* in = static_cast<v4l2_input*>(arg);
      if (in->index >= d.inputs.size()) return -EINVAL;
      *in = d.inputs[in->index];
      return 0;
    }
    case VIDIOC_G_INPUT:
      if (d.inputs.empty()) return -ENOTTY;
      *static_cast<int*>(arg) = static_cast<int>(d.input);
      return 0;
    case VIDIOC_S_INPUT:
      if (*static_cast<unsigned*>(arg) >= d.inputs.size()) return -EINVAL;
      d.input = *static_cast<unsigned*>(arg);
      return 0;
    case VIDIOC_ENUMAUDIO:
    case VIDIOC_S_AUDIO: {
      auto* a = static_cast<v4l2_audio*>(arg);
      if (d.audios.empty()) return -ENOTTY;
      if (a->index >= d.audios.size()) return -EINVAL;
      if (request == VIDIOC_ENUMAUDIO)
        *a = d.audios[a->index];
      else
        d.audio = a->index;
      return 0;
    }
    case VIDIOC_QUERYCTRL: {
      auto* q = static_cast<v4l2_queryctrl*>(arg);
      const auto it = d.controls.find(q->id);
      if (it == d.controls.end()) return -EINVAL;
      const FakeControl& c = it->second;
      const uint32_t id = q->id;
      *q = v4l2_queryctrl{};
      q->id = id;
      q->type = c.minimum == 0 && c.maximum == 1 ? V4L2_CTRL_TYPE_BOOLEAN : V4L2_CTRL_TYPE_INTEGER;
      q->minimum = c.minimum, q->maximum = c.maximum, q->step = c.step;
      q->default_value = c.defaultValue;
      return 0;
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
      auto* c = static_cast<v4l2_control*>(arg);
      const auto it = d.controls.find(c->id);
      if (it == d.controls.end()) return -EINVAL;
      if (request == VIDIOC_G_CTRL)
        c->value = it->second.value;
      else if (c->value < it->second.minimum || c->value > it->second.maximum)
        return -ERANGE;
      else
        it->second.value = c->value;
      return 0;
    }
    case VIDIOC_S_STD:
      if (d.inputs.empty()) return -ENOTTY;
      d.std = *static_cast<v4l2_std_id*>(arg);
      return 0;
  }
  return d.otherIoctl ? d.otherIoctl(request, arg) : -ENOTTY;
}

// i2c-dev transfers: the adapter needs a slave address first; reads answer `readByte`.
ssize_t FakeV4l2Kernel::Transfer(int fd, uint8_t* in, const uint8_t* out, std::size_t size) {
  std::lock_guard lock(mutex);
  FakeDevice* d = DeviceOf(fd);
  if (d == nullptr) return -EBADF;
  if (!d->i2c || d->slave < 0) return -EINVAL;
  if (in != nullptr) {
    std::memset(in, d->readByte, size);
    d->i2cReads.push_back(d->slave);
  } else {
    d->i2cWrites.emplace_back(d->slave, std::vector<uint8_t>(out, out + size));
  }
  return static_cast<ssize_t>(size);
}

ssize_t FakeV4l2Kernel::Read(int fd, void* buffer, std::size_t size) {
  return Transfer(fd, static_cast<uint8_t*>(buffer), nullptr, size);
}

ssize_t FakeV4l2Kernel::Write(int fd, const void* buffer, std::size_t size) {
  return Transfer(fd, nullptr, static_cast<const uint8_t*>(buffer), size);
}

FakeV4l2Kernel::~FakeV4l2Kernel() {
  for (const auto& [address, length] : mappings) std::free(address);
}

void* FakeV4l2Kernel::Mmap(std::size_t length, int, int, int fd, off_t) {
  std::lock_guard lock(mutex);
  if (DeviceOf(fd) == nullptr || length == 0) return nullptr;
  void* address = std::calloc(1, length);
  if (address != nullptr) mappings[address] = length;
  return address;
}

int FakeV4l2Kernel::Munmap(void* address, std::size_t length) {
  std::lock_guard lock(mutex);
  const auto it = mappings.find(address);
  if (it == mappings.end() || it->second != length) return -EINVAL;
  std::free(address);
  mappings.erase(it);
  return 0;
}

// Every open descriptor is ready at once; a closed one is reported as invalid.
int FakeV4l2Kernel::Poll(pollfd* fds, nfds_t count, int) {
  std::lock_guard lock(mutex);
  int ready = 0;
  for (nfds_t i = 0; i < count; ++i) {
    fds[i].revents = DeviceOf(fds[i].fd) != nullptr ? fds[i].events : POLLNVAL;
    if (fds[i].revents != 0) ++ready;
  }
  return ready;
}

std::vector<std::string> FakeV4l2Kernel::ListDirectory(const std::string& path) {
  std::lock_guard lock(mutex);
  std::set<std::string> names;
  auto add = [&](const std::string& full) {
    if (full.size() <= path.size() + 1 || full.compare(0, path.size() + 1, path + "/") != 0) return;
    const std::string rest = full.substr(path.size() + 1);
    names.insert(rest.substr(0, rest.find('/')));
  };
  for (const auto& [p, d] : devices) add(p);
  for (const auto& [p, text] : files) add(p);
  return {names.begin(), names.end()};
}

std::optional<std::string> FakeV4l2Kernel::ReadTextFile(const std::string& path) {
  std::lock_guard lock(mutex);
  const auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second;
}

}  // namespace kelmo::test
