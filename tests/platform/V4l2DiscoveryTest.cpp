#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/v4l2/V4l2Discovery.h"
#include "support/FakeV4l2Kernel.h"

namespace kelmo::test {
namespace {

std::vector<std::string> Paths(const std::vector<V4l2DeviceInfo>& devices) {
  std::vector<std::string> paths;
  for (const V4l2DeviceInfo& d : devices) paths.push_back(d.path);
  return paths;
}

TEST(V4l2DiscoveryTest, TvCardsComeFirstByNodeNumberWithTheirRadioOnTheSameBus) {
  FakeV4l2Kernel kernel;
  kernel.AddCamera(0, "usb-0000:00:14.0-8");
  kernel.AddCamera(1, "usb-0000:00:14.0-8").cap.device_caps = V4L2_CAP_META_CAPTURE;
  kernel.AddTvCard(10, "PCI:0000:06:00.0", /*withRadio=*/false);
  kernel.AddTvCard(2, "PCI:0000:05:00.0");
  kernel.AddTvCard(3, "PCI:0000:07:00.0").openError = EBUSY;
  kernel.AddI2cAdapter(1, "bt878 #0 [sw]");

  const auto devices = DiscoverV4l2Devices(kernel);
  EXPECT_EQ(Paths(devices),
            (std::vector<std::string>{"/dev/video2", "/dev/video10", "/dev/video0"}));
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].card, "BT878 video (Hauppauge (bt878))");
  EXPECT_EQ(devices[0].driver, "bttv");
  EXPECT_EQ(DriverVersionText(devices[0].driverVersion), "6.1.0");
  EXPECT_EQ(devices[0].busInfo, "PCI:0000:05:00.0");
  EXPECT_TRUE(devices[0].hasTuner);
  EXPECT_EQ(devices[0].radioPath, "/dev/radio2");
  EXPECT_EQ(devices[1].radioPath, "");
  EXPECT_FALSE(devices[2].hasTuner);
  EXPECT_EQ(kernel.OpenCount(), 0);
}

TEST(V4l2DiscoveryTest, OldDriversWithoutNodeCapsAndEmptyBusNamesPairNothing) {
  FakeV4l2Kernel kernel;
  FakeDevice& video = kernel.AddTvCard(0, "");
  video.cap.capabilities &= ~V4L2_CAP_DEVICE_CAPS;
  video.cap.device_caps = 0;
  const auto devices = DiscoverV4l2Devices(kernel);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_TRUE(devices[0].hasTuner);
  EXPECT_EQ(devices[0].radioPath, "");
}

TEST(V4l2DiscoveryTest, ChoiceTakesTheWantedTunerElseTheFirstTuner) {
  FakeV4l2Kernel kernel;
  kernel.AddCamera(0, "usb-1");
  kernel.AddTvCard(1, "PCI:1");
  kernel.AddTvCard(2, "PCI:2");
  const auto devices = DiscoverV4l2Devices(kernel);
  EXPECT_EQ(ChooseV4l2Device(devices, "/dev/video2")->path, "/dev/video2");
  EXPECT_EQ(ChooseV4l2Device(devices, "/dev/video0")->path, "/dev/video1");
  EXPECT_EQ(ChooseV4l2Device(devices, "/dev/video9")->path, "/dev/video1");
  EXPECT_EQ(ChooseV4l2Device(devices, "")->path, "/dev/video1");

  FakeV4l2Kernel cameraOnly;
  cameraOnly.AddCamera(0, "usb-1");
  EXPECT_FALSE(ChooseV4l2Device(DiscoverV4l2Devices(cameraOnly), "/dev/video0"));
}

}  // namespace
}  // namespace kelmo::test
