#include <gtest/gtest.h>

#include <cerrno>

#include "platform/linux/v4l2/V4l2Discovery.h"
#include "support/FakeV4l2Kernel.h"

namespace kelmo::test {
namespace {

TEST(V4l2DiscoveryTest, TvCardsComeFirstWithTheirRadioOnTheSameBusAndAreTunedFirst) {
  FakeV4l2Kernel kernel;
  kernel.AddCamera(0, "usb-0000:00:14.0-8");
  kernel.AddCamera(1, "usb-0000:00:14.0-8").cap.device_caps = V4L2_CAP_META_CAPTURE;
  kernel.AddTvCard(10, "PCI:0000:06:00.0", /*withRadio=*/false);
  kernel.AddTvCard(2, "PCI:0000:05:00.0");
  kernel.AddTvCard(3, "PCI:0000:07:00.0").openError = EBUSY;
  kernel.AddI2cAdapter(1, "bt878 #0 [sw]");
  // An old driver without node caps, on a bus without a name: its radio pairs with nothing.
  FakeDevice& old = kernel.AddTvCard(4, "");
  old.cap.capabilities &= ~V4L2_CAP_DEVICE_CAPS;
  old.cap.device_caps = 0;

  const auto devices = DiscoverV4l2Devices(kernel);
  std::vector<std::string> paths;
  for (const V4l2DeviceInfo& d : devices) paths.push_back(d.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/dev/video2", "/dev/video4", "/dev/video10",
                                             "/dev/video0"}));
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[0].card, "BT878 video (Hauppauge (bt878))");
  EXPECT_EQ(devices[0].driver, "bttv");
  EXPECT_EQ(DriverVersionText(devices[0].driverVersion), "6.1.0");
  EXPECT_EQ(devices[0].radioPath, "/dev/radio2");
  EXPECT_TRUE(devices[1].hasTuner);
  EXPECT_EQ(devices[1].radioPath, "");
  EXPECT_EQ(devices[2].radioPath, "");
  EXPECT_FALSE(devices[3].hasTuner);
  EXPECT_EQ(kernel.OpenCount(), 0);

  // The wanted card when it has a tuner, else the first with one.
  EXPECT_EQ(ChooseV4l2Device(devices, "/dev/video10")->path, "/dev/video10");
  for (const char* wanted : {"/dev/video0", "/dev/video9", ""}) {
    EXPECT_EQ(ChooseV4l2Device(devices, wanted)->path, "/dev/video2") << wanted;
  }
  FakeV4l2Kernel cameraOnly;
  cameraOnly.AddCamera(0, "usb-1");
  EXPECT_FALSE(ChooseV4l2Device(DiscoverV4l2Devices(cameraOnly), "/dev/video0"));
}

}  // namespace
}  // namespace kelmo::test
