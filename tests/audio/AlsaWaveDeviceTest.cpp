#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "audio/WaveFormat.h"
#include "audio/linux/AlsaPcm.h"
#include "audio/linux/AlsaWaveInput.h"
#include "audio/linux/AlsaWaveOutput.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"
#include "support/WaveReceiver.h"

namespace kelmo {
namespace {

// Real libasound against a configuration of the test's own: a PCM that reads a raw sample file
// over the null device.
class AlsaFileDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    samples.resize(200000);
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = static_cast<uint8_t>(i * 7 + i / 256);
    test::WriteFile(dir / "in.raw", std::string(samples.begin(), samples.end()));
    test::WriteFile(dir / "asound.conf",
                    "pcm.kelmotest {\n type file\n slave.pcm \"null\"\n file \"/dev/null\"\n"
                    " infile \"" +
                        (dir / "in.raw").string() +
                        "\"\n format \"raw\"\n}\n"
                        "pcm_type.kelmobusy { lib \"" KELMO_BUSY_PCM
                        "\" }\n"
                        "pcm.kelmobusy { type kelmobusy }\n");
    const std::string path = "/usr/share/alsa/alsa.conf:" + (dir / "asound.conf").string();
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ALSA_CONFIG_PATH");
    snd_config_update_free_global();
  }

  test::TempDir dir;
  std::vector<uint8_t> samples;
};

TEST_F(AlsaFileDevice, CapturesInFullBuffersGivesBackTheRestAtResetAndNamesMissingAndHeldDevices) {
  test::RecordingLog log;
  AlsaWaveInput input("kelmotest");
  test::WaveReceiver receiver(input);
  ASSERT_TRUE(input.Open(DefaultPcmFormat().ToBytes(), receiver).ok());
  ASSERT_TRUE(receiver.QueueAll());
  ASSERT_TRUE(input.Start().ok());
  EXPECT_TRUE(
      log.Has(LogLevel::Info, "audio", "ALSA capture \"kelmotest\" opened: 22050 Hz, S16_LE"));
  ASSERT_TRUE(receiver.WaitForFull(12));
  input.Reset();
  input.Close();
  std::lock_guard lock(receiver.mutex);
  ASSERT_GE(receiver.bytes.size(), 12u * 4000);
  EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 48000, receiver.bytes.begin()));
  // The reset gave back all six buffers still queued, none of them full.
  ASSERT_GE(receiver.recorded.size(), 6u);
  for (std::size_t i = receiver.recorded.size() - 6; i < receiver.recorded.size(); ++i) {
    EXPECT_LT(receiver.recorded[i], 4000u);
  }

  // Every plain format opens through the plug layer; a missing device is named as one.
  EXPECT_TRUE(input.SupportsFormat(MakePcmFormat(8000, 2, 8).ToBytes()));
  WaveFormatEx alaw = MakePcmFormat(8000, 1, 8);
  alaw.wFormatTag = 6;
  EXPECT_FALSE(input.SupportsFormat(alaw.ToBytes()));

  AlsaWaveOutput output("kelmotest");
  EXPECT_TRUE(output.Open(MakePcmFormat(11025, 2, 16).ToBytes()).ok());
  output.Close();

  EXPECT_TRUE(AlsaHasCaptureDevice("kelmotest"));
  EXPECT_FALSE(AlsaHasCaptureDevice("kelmo_no_such_device"));
  AlsaWaveInput missing("kelmo_no_such_device");
  const DeviceError gone = missing.Open(DefaultPcmFormat().ToBytes(), receiver);
  EXPECT_EQ(gone.kind, DeviceErrorKind::NotPresent);
  EXPECT_EQ(gone.device, "ALSA capture \"kelmo_no_such_device\"");
  EXPECT_FALSE(gone.systemText.empty());

  // A device another program holds is there and says so at the open; the format question still
  // answers for the plug layer, so that the chooser offers what it will convert.
  AlsaWaveInput held("kelmobusy");
  EXPECT_TRUE(AlsaHasCaptureDevice("kelmobusy"));
  EXPECT_EQ(held.Open(DefaultPcmFormat().ToBytes(), receiver).kind, DeviceErrorKind::Busy);
  EXPECT_TRUE(held.SupportsFormat(MakePcmFormat(11025, 2, 8).ToBytes()));
  EXPECT_FALSE(held.SupportsFormat(alaw.ToBytes()));
}

}  // namespace
}  // namespace kelmo
