#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo {

// One V4L2 device that can capture video, as its driver describes it.
struct V4l2DeviceInfo {
  std::string path;            // "/dev/video0"
  std::string card;            // the card's name, "BT878 video (Hauppauge (bt878))"
  std::string driver;          // the kernel driver, "bttv"
  uint32_t driverVersion = 0;  // KERNEL_VERSION(major, minor, patch) as the driver reports it
  std::string busInfo;         // "PCI:0000:05:00.0"; pairs the video node with its radio node
  bool hasTuner = false;       // an analogue TV tuner feeds one of its inputs
  std::string radioPath;       // "/dev/radio0" on the same bus, empty when the card has none
};

// Every /dev/videoN that can capture video (nodes for metadata, output or codecs are left out):
// those with a tuner first, then the others, each group by node number (video2 before video10).
// A node that cannot be opened or answers no VIDIOC_QUERYCAP is left out. Opens each node briefly;
// any thread.
std::vector<V4l2DeviceInfo> DiscoverV4l2Devices(V4l2Io& io);

// The card to tune among those discovered: the one at `wanted` when it is listed and has a tuner,
// else the first with a tuner (a camera picked for the picture leaves the TV card tunable);
// nothing when no device has a tuner.
std::optional<V4l2DeviceInfo> ChooseV4l2Device(const std::vector<V4l2DeviceInfo>& devices,
                                               const std::string& wanted);

// "4.19.0" for a packed KERNEL_VERSION.
std::string DriverVersionText(uint32_t version);

}  // namespace kelmo
