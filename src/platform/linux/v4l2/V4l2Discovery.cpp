#include "platform/linux/v4l2/V4l2Discovery.h"

#include <fcntl.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cstring>

namespace kelmo {

namespace {

// The number after a node's prefix ("video12" -> 12), or nothing when the name is not
// prefix + digits.
std::optional<unsigned> NodeNumber(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  unsigned number = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 100000) return std::nullopt;
    number = number * 10 + static_cast<unsigned>(name[i] - '0');
  }
  return number;
}

// The /dev nodes named prefix + number, by number.
std::vector<std::string> Nodes(V4l2Io& io, const std::string& prefix) {
  std::vector<std::pair<unsigned, std::string>> found;
  for (const std::string& name : io.ListDirectory("/dev")) {
    if (auto number = NodeNumber(name, prefix)) found.emplace_back(*number, "/dev/" + name);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [number, path] : found) paths.push_back(std::move(path));
  return paths;
}

// A fixed-size, possibly unterminated string field of a kernel structure.
std::string Field(const uint8_t* bytes, std::size_t size) {
  const void* end = std::memchr(bytes, 0, size);
  return std::string(reinterpret_cast<const char*>(bytes),
                     end != nullptr ? static_cast<const uint8_t*>(end) - bytes : size);
}

// The capabilities of the node itself; older drivers report only those of the whole device.
uint32_t NodeCaps(const v4l2_capability& cap) {
  return (cap.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? cap.device_caps : cap.capabilities;
}

std::optional<v4l2_capability> QueryCap(V4l2Io& io, const std::string& path) {
  const int fd = io.Open(path, O_RDWR | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  v4l2_capability cap{};
  const int result = io.Ioctl(fd, VIDIOC_QUERYCAP, &cap);
  io.Close(fd);
  if (result < 0) return std::nullopt;
  return cap;
}

}  // namespace

std::vector<V4l2DeviceInfo> DiscoverV4l2Devices(V4l2Io& io) {
  std::vector<std::pair<std::string, std::string>> radios;  // bus, path
  for (const std::string& path : Nodes(io, "radio")) {
    const auto cap = QueryCap(io, path);
    if (cap && (NodeCaps(*cap) & V4L2_CAP_RADIO) != 0) {
      radios.emplace_back(Field(cap->bus_info, sizeof cap->bus_info), path);
    }
  }
  std::vector<V4l2DeviceInfo> devices;
  for (const std::string& path : Nodes(io, "video")) {
    const auto cap = QueryCap(io, path);
    if (!cap) continue;
    const uint32_t caps = NodeCaps(*cap);
    if ((caps & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) == 0) continue;
    V4l2DeviceInfo info;
    info.path = path;
    info.card = Field(cap->card, sizeof cap->card);
    info.driver = Field(cap->driver, sizeof cap->driver);
    info.driverVersion = cap->version;
    info.busInfo = Field(cap->bus_info, sizeof cap->bus_info);
    info.hasTuner = (caps & V4L2_CAP_TUNER) != 0;
    // An empty bus name pairs nothing: it says only that the driver did not fill it in.
    for (const auto& [bus, radio] : radios) {
      if (!info.busInfo.empty() && bus == info.busInfo) {
        info.radioPath = radio;
        break;
      }
    }
    devices.push_back(std::move(info));
  }
  std::stable_partition(devices.begin(), devices.end(),
                        [](const V4l2DeviceInfo& d) { return d.hasTuner; });
  return devices;
}

std::optional<V4l2DeviceInfo> ChooseV4l2Device(const std::vector<V4l2DeviceInfo>& devices,
                                               const std::string& wanted) {
  if (!wanted.empty()) {
    for (const V4l2DeviceInfo& d : devices) {
      if (d.path == wanted && d.hasTuner) return d;
    }
  }
  for (const V4l2DeviceInfo& d : devices) {
    if (d.hasTuner) return d;
  }
  return std::nullopt;
}

std::string DriverVersionText(uint32_t version) {
  return std::to_string((version >> 16) & 0xFF) + "." + std::to_string((version >> 8) & 0xFF) +
         "." + std::to_string(version & 0xFF);
}

}  // namespace kelmo
