#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "cardlib/v4l2/V4l2Card.h"
#include "channels/BandRaster.h"
#include "support/FakeV4l2Kernel.h"
#include "tuner/Tuner.h"
#include "tuner/TunerParams.h"

namespace kelmo::test {
namespace {

using v4l2card::DecodeTunerWrite;
using v4l2card::V4l2Card;

// The card as the program drives it through the exports: a fresh card started on the kernel.
class V4l2CardTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    unsetenv("KELMO_V4L2_DEVICE");
    unsetenv("KELMO_RAW_I2C");
  }

  void Send(const TunerWrite& write) {
    card.I2CStart();
    for (int32_t value : write) card.I2CWrite(value);
    card.I2CStop();
  }
  void Sound(int32_t value) {
    card.SetOutputEnable(2, 1);
    card.SetOutputEnable(3, 1);
    card.SetDataBits(2, 3, value);
  }
  // A tuning with the sound switched around it, unmuted.
  void TuneTv(float mhz, int32_t tunerType = 2) {
    Sound(0);
    Send(TvTunerWrite(mhz, tunerType));
    Sound(3);
  }
  void TuneFm(float mhz) {
    Sound(0);
    Send(FmTunerWrite(mhz));
    Sound(1);
  }
  uint32_t TunerStatus() {
    card.I2CStart();
    card.I2CWrite(0xC3);
    const uint32_t value = card.I2CRead();
    card.I2CStop();
    return value & 0x1F;
  }
  int32_t Mute(const std::string& path) {
    return kernel.Device(path).controls.at(V4L2_CID_AUDIO_MUTE).value;
  }
  uint32_t Frequency(const std::string& path) { return kernel.Device(path).tuners[0].frequency; }

  FakeV4l2Kernel kernel;
  std::vector<std::string> reports;
  V4l2Card card{kernel, [this](const std::string& line) { reports.push_back(line); }};
};

TEST_F(V4l2CardTest, FrequenciesGoToTheTunerOfTheirBandInItsUnits) {
  kernel.AddTvCard(0, "PCI:0000:05:00.0");
  ASSERT_TRUE(card.Start());
  TuneTv(48.25f);
  EXPECT_EQ(Frequency("/dev/video0"), 772u);  // 62.5 kHz units
  TuneFm(87.5f);
  EXPECT_EQ(Frequency("/dev/radio0"), 1'400'000u);  // CAP_LOW: 62.5 Hz units
  EXPECT_EQ(Frequency("/dev/video0"), 772u);

  // The same card with the units the other way round.
  FakeDevice& video = kernel.Device("/dev/video0");
  FakeDevice& radio = kernel.Device("/dev/radio0");
  video.tuners[0].info.capability |= V4L2_TUNER_CAP_LOW;
  video.tuners[0].info.rangelow = 44'000'000 / 1000 * 16;
  video.tuners[0].info.rangehigh = 958'000'000 / 1000 * 16;
  radio.tuners[0].info.capability = V4L2_TUNER_CAP_STEREO;
  radio.tuners[0].info.rangelow = 65 * 16;
  radio.tuners[0].info.rangehigh = 108 * 16;
  ASSERT_TRUE(card.Start());
  TuneTv(855.25f, 0);
  TuneFm(100.1f);
  EXPECT_EQ(video.tuners[0].frequency, 13'684'000u);
  EXPECT_EQ(radio.tuners[0].frequency, 1602u);  // 100.1 MHz, to 62.5 kHz
}

TEST_F(V4l2CardTest, SelectorMutesAndRoutesSoundThroughTheRadioNode) {
  kernel.AddTvCard(0, "PCI:0000:05:00.0");
  ASSERT_TRUE(card.Start());
  TuneFm(94.85f);
  EXPECT_EQ(Mute("/dev/video0"), 0);
  EXPECT_EQ(kernel.OpenCount(), 2);  // the open radio node holds the card's sound
  Sound(0);
  EXPECT_EQ(Mute("/dev/video0"), 1);
  kernel.TakeCalls();
  TuneTv(503.25f);
  EXPECT_EQ(Mute("/dev/video0"), 0);
  EXPECT_EQ(kernel.OpenCount(), 1);
  const auto calls = kernel.TakeCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "/dev/video0 VIDIOC_S_INPUT"), calls.end());

  // A later TV sound selection leaves the input alone.
  TuneTv(511.25f);
  for (const std::string& call : kernel.TakeCalls()) EXPECT_NE(call, "/dev/video0 VIDIOC_S_INPUT");
  EXPECT_TRUE(reports.empty());
}

TEST_F(V4l2CardTest, CardsWithNamedAudioInputsAreSwitchedByThem) {
  FakeDevice& video = kernel.AddTvCard(0, "PCI:1");
  for (const char* name : {"Line In", "Tuner", "Radio"}) {
    v4l2_audio audio{};
    audio.index = static_cast<uint32_t>(video.audios.size());
    std::snprintf(reinterpret_cast<char*>(audio.name), sizeof audio.name, "%s", name);
    video.audios.push_back(audio);
  }
  ASSERT_TRUE(card.Start());
  TuneFm(89.3f);
  EXPECT_EQ(kernel.Device("/dev/video0").audio, 2u);
  TuneTv(48.25f);
  EXPECT_EQ(kernel.Device("/dev/video0").audio, 1u);
  EXPECT_EQ(Mute("/dev/video0"), 0);
}

TEST_F(V4l2CardTest, StatusReadsFollowTheInputAndTheTunerOfTheBand) {
  FakeDevice& video = kernel.AddTvCard(0, "PCI:1");
  ASSERT_TRUE(card.Start());
  EXPECT_LT(card.ReadDecoder(0), 128u);  // the tuner input: no signal, no line lock
  video.inputs[0].status = V4L2_IN_ST_NO_H_LOCK;
  EXPECT_LT(card.ReadDecoder(0), 128u);
  video.inputs[0].status = 0;
  EXPECT_EQ(card.ReadDecoder(0), 0xC0u);
  video.input = 1;  // Composite1, nothing plugged in
  video.inputs[1].status = V4L2_IN_ST_NO_SIGNAL;
  EXPECT_LT(card.ReadDecoder(0), 128u);

  TuneTv(48.25f);
  video.tuners[0].info.signal = 65535;
  EXPECT_EQ(TunerStatus(), 31u);
  TuneFm(100.1f);
  FakeDevice& radio = kernel.Device("/dev/radio0");
  for (auto [signal, status] : {std::pair{0, 0u}, {30719, 14u}, {30720, 15u}, {32768, 16u}}) {
    radio.tuners[0].info.signal = signal;
    EXPECT_EQ(TunerStatus(), status) << signal;
  }
}

TEST_F(V4l2CardTest, WithoutARadioNodeFmIsToldOnceAndNothingChanges) {
  kernel.AddTvCard(0, "PCI:1", /*withRadio=*/false);
  ASSERT_TRUE(card.Start());
  TuneTv(48.25f);
  TuneFm(87.5f);
  TuneFm(87.6f);
  EXPECT_EQ(Frequency("/dev/video0"), 772u);
  EXPECT_EQ(Mute("/dev/video0"), 1);  // FM sound cannot be routed: stays off
  EXPECT_EQ(TunerStatus(), 0u);       // TV mode's tuner signal, none here
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("no radio device"), std::string::npos);
}

TEST_F(V4l2CardTest, IoctlFailuresAreToldOnceAndKeepTheState) {
  kernel.AddTvCard(0, "PCI:1");
  ASSERT_TRUE(card.Start());
  TuneTv(48.25f);
  kernel.Device("/dev/radio0").ioctlErrors[VIDIOC_S_FREQUENCY] = EBUSY;
  TuneFm(87.5f);
  TuneFm(88.0f);
  ASSERT_EQ(reports,
            std::vector<std::string>{"/dev/radio0: VIDIOC_S_FREQUENCY: Device or resource busy"});
  EXPECT_EQ(Frequency("/dev/radio0"), 0u);
  kernel.Device("/dev/video0").tuners[0].info.signal = 65535;
  EXPECT_EQ(TunerStatus(), 31u);  // still in TV: the TV tuner answers

  kernel.Device("/dev/video0").ioctlErrors[VIDIOC_S_CTRL] = EIO;
  Sound(0);
  EXPECT_EQ(Mute("/dev/video0"), 0);
  kernel.Device("/dev/video0").ioctlErrors[VIDIOC_G_INPUT] = EIO;
  EXPECT_LT(card.ReadDecoder(0), 128u);
  EXPECT_EQ(reports.size(), 3u);

  // A new start tells again.
  ASSERT_TRUE(card.Start());
  Sound(0);
  EXPECT_EQ(reports.size(), 4u);
}

TEST_F(V4l2CardTest, DrivesTheChosenCardElseTheEnvironmentsElseTheFirstTuner) {
  kernel.AddCamera(0, "usb-1");
  kernel.AddTvCard(1, "PCI:1");
  kernel.AddTvCard(2, "PCI:2");
  ASSERT_TRUE(card.Start());
  EXPECT_EQ(card.VideoPath(), "/dev/video1");
  setenv("KELMO_V4L2_DEVICE", "/dev/video2", 1);
  ASSERT_TRUE(card.Start());
  EXPECT_EQ(card.VideoPath(), "/dev/video2");

  EXPECT_TRUE(card.UseVideoDevice("/dev/video1"));  // the capture's choice wins, at once
  TuneTv(48.25f);
  EXPECT_EQ(Frequency("/dev/video1"), 772u);
  EXPECT_EQ(Frequency("/dev/video2"), 0u);
  EXPECT_FALSE(card.UseVideoDevice("/dev/video0"));  // a camera: the environment's card
  EXPECT_EQ(card.VideoPath(), "/dev/video2");
  EXPECT_EQ(kernel.OpenCount(), 1);
  EXPECT_TRUE(reports.empty());
  setenv("KELMO_V4L2_DEVICE", "/dev/video0", 1);
  EXPECT_FALSE(card.UseVideoDevice(""));
  EXPECT_EQ(card.VideoPath(), "/dev/video1");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("/dev/video1 is driven instead"), std::string::npos);

  FakeV4l2Kernel empty;
  std::vector<std::string> told;
  V4l2Card none(empty, [&](const std::string& line) { told.push_back(line); });
  EXPECT_FALSE(none.Start());
  none.I2CStart();
  none.I2CWrite(0xC3);
  EXPECT_EQ(none.I2CRead(), 0u);
  EXPECT_EQ(told.size(), 1u);
}

TEST_F(V4l2CardTest, DecoderSettingsReachTheDriversControlsAcrossTheirRanges) {
  FakeDevice& video = kernel.AddTvCard(0, "PCI:1");
  ASSERT_TRUE(card.Start());
  card.SetPicture(V4L2_CID_BRIGHTNESS, 0x0A, -128, -128, 127);
  EXPECT_EQ(video.controls[V4L2_CID_BRIGHTNESS].value, 0);
  card.SetPicture(V4L2_CID_BRIGHTNESS, 0x0A, 127, -128, 127);
  EXPECT_EQ(video.controls[V4L2_CID_BRIGHTNESS].value, 0xFF00);
  card.SetPicture(V4L2_CID_CONTRAST, 0x0C, 600, 0, 511);  // beyond the register: its top
  EXPECT_EQ(video.controls[V4L2_CID_CONTRAST].value, 0xFF80);
  EXPECT_EQ(card.ReadDecoder(0x0A), 127u);
  card.SetVideoFormat(6);
  EXPECT_EQ(video.std, V4L2_STD_SECAM);
  card.SetVideoFormat(9);  // no such norm: nothing sent
  EXPECT_EQ(video.std, V4L2_STD_SECAM);
  card.SetVideoSource(2);
  EXPECT_EQ(video.input, 2u);
  card.SetVideoSource(5);
  EXPECT_EQ(video.input, 2u);
  EXPECT_EQ(reports, std::vector<std::string>{"/dev/video0: VIDIOC_S_INPUT: Invalid argument"});
}

TEST_F(V4l2CardTest, RawI2cSendsTheTunersBytesToTheCardsAdapter) {
  kernel.AddTvCard(0, "PCI:1");
  setenv("KELMO_RAW_I2C", "1", 1);
  ASSERT_TRUE(card.Start());  // no adapter yet: told, the kernel's tuners serve
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("KELMO_RAW_I2C"), std::string::npos);

  kernel.AddI2cAdapter(0, "i915 gmbus dpb");
  FakeDevice& bus = kernel.AddI2cAdapter(3, "bt878 #0 [sw]");
  bus.readByte = 0x5A;
  ASSERT_TRUE(card.Start());
  TuneFm(87.5f);
  ASSERT_EQ(bus.i2cWrites.size(), 1u);
  EXPECT_EQ(bus.i2cWrites[0].first, 0x61);
  EXPECT_EQ(bus.i2cWrites[0].second, (std::vector<uint8_t>{0x07, 0xAC, 0x88, 0xA5}));
  EXPECT_EQ(TunerStatus(), 0x1Au);
  EXPECT_EQ(bus.i2cReads, std::vector<int>{0x61});
  EXPECT_EQ(Frequency("/dev/radio0"), 0u);
}

// Every frequency the program tunes comes back out of its tuner bytes, to the tuner's step.
TEST(V4l2CardDecodeTest, EverySearchFrequencyDecodesToItself) {
  const auto decode = [](const TunerWrite& w) {
    return DecodeTunerWrite(std::vector<uint8_t>(w.begin(), w.end()));
  };
  for (int32_t type = 0; type < 3; ++type) {
    for (float mhz : TvSearchFrequencies()) {
      const auto request = decode(TvTunerWrite(mhz, type));
      ASSERT_TRUE(request) << mhz;
      EXPECT_FALSE(request->fm);
      EXPECT_EQ(request->hz, std::llround(double{mhz} * 1e6)) << mhz << " type " << type;
    }
  }
  for (int p = 0; p < kFmSearchCount; ++p) {
    const float mhz = FmSearchFrequency(p);
    const auto request = decode(FmTunerWrite(mhz));
    ASSERT_TRUE(request) << mhz;
    EXPECT_TRUE(request->fm);
    // On the tuner's 50 kHz raster, the nearest step.
    EXPECT_LE(std::abs(request->hz - std::llround(87.5e6 + 50e3 * p)), 25'000) << mhz;
    EXPECT_EQ(request->hz % 50'000, 0) << mhz;
  }
  const uint8_t notATuner[] = {0x88, 0x05, 0x73, 0x8E, 0xA0};
  EXPECT_FALSE(DecodeTunerWrite(notATuner));
}

// The built library carries the twenty exports and the device choice, and nothing of the
// simulated card.
TEST(V4l2CardLibraryTest, ExportsTheCardInterfaceAndTheDeviceChoice) {
  void* module = dlopen(KELMO_BUILD_DIR "/Btvid_32-v4l2.so", RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  for (const char* name : kCardExportNames) EXPECT_NE(dlsym(module, name), nullptr) << name;
  EXPECT_NE(dlsym(module, kUseVideoDeviceName), nullptr);
  EXPECT_EQ(dlsym(module, kSimQueryName), nullptr);
  EXPECT_EQ(dlsym(module, "_ZN5kelmo8v4l2card8V4l2Card5StartEv"), nullptr);
  dlclose(module);
}

}  // namespace
}  // namespace kelmo::test
