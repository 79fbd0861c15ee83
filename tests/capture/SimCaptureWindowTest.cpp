#include <gtest/gtest.h>

#include "audio/WaveFormat.h"
#include "capture/CaptureFileName.h"
#include "capture/sim/SimCaptureWindow.h"
#include "platform/sim/ManualClock.h"
#include "support/TimeZone.h"

namespace kelmo {
namespace {

std::vector<uint8_t> Video(int32_t width, int32_t height, uint32_t compression, uint16_t bits) {
  BitmapInfoHeader h;
  h.biWidth = width;
  h.biHeight = height;
  h.biCompression = compression;
  h.biBitCount = bits;
  return h.ToBytes();
}

TEST(CaptureFileName, SecondsAppearOnlyWhenNotZeroAndTheWindowIsTold) {
  LocalTime t;
  t.day = 5, t.hour = 21, t.minute = 30, t.second = 15;
  EXPECT_EQ(FormatCaptureFileName("/v/", t), "/v/Kelmo.05_21.30.15.avi");
  t.second = 0, t.hour = 7;
  EXPECT_EQ(FormatCaptureFileName("/v/", t), "/v/Kelmo.05_07.30.avi");

  test::ScopedTimeZone utc("UTC0");
  ManualClock clock(1709674215);  // 2024-03-05 21:30:15 UTC
  SimCaptureWindow window;
  CaptureDriver capture;
  BuildCaptureFileName(capture, "/v/", clock);  // no window yet: only the name
  EXPECT_EQ(capture.captureFileName, "/v/Kelmo.05_21.30.15.avi");
  capture.SetWindow(&window);
  BuildCaptureFileName(capture, "/w/", clock);
  EXPECT_EQ(window.CaptureFile(), "/w/Kelmo.05_21.30.15.avi");
}

TEST(SimCaptureWindow, AcceptsOnlyTheFormatsItOffersWhileConnected) {
  SimCaptureWindow window;
  EXPECT_FALSE(window.SetVideoFormat(Video(384, 288, kBiRgb, 24)));  // not connected
  EXPECT_EQ(window.GetAudioFormatSize(), 0u);
  EXPECT_FALSE(window.DriverConnect(1));  // only one driver
  ASSERT_TRUE(window.DriverConnect(0));

  EXPECT_TRUE(window.SetVideoFormat(Video(384, 288, kBiRgb, 24)));
  EXPECT_TRUE(window.SetVideoFormat(Video(768, 576, kFourccYuy2, 16)));
  EXPECT_FALSE(window.SetVideoFormat(Video(640, 480, kBiRgb, 24)));
  EXPECT_FALSE(window.SetVideoFormat(Video(384, 288, kFourccYuy2, 24)));
  EXPECT_EQ(window.GetStatus().uiImageWidth, 768u);

  std::vector<uint8_t> video(window.GetVideoFormatSize());
  ASSERT_EQ(window.GetVideoFormat(video.data(), static_cast<uint32_t>(video.size())), 40u);
  EXPECT_EQ(BitmapInfoHeader::FromBytes(video)->biSizeImage, 768u * 576 * 2);

  WaveFormatEx stereo = DefaultPcmFormat();
  stereo.nChannels = 2;
  EXPECT_FALSE(window.SetAudioFormat(stereo.ToBytes()));  // block align and rate disagree
  stereo.nBlockAlign = 4, stereo.nAvgBytesPerSec = 88200;
  EXPECT_TRUE(window.SetAudioFormat(stereo.ToBytes()));
  WaveFormatEx adpcm = DefaultPcmFormat();
  adpcm.wFormatTag = 0x11;
  EXPECT_FALSE(window.SetAudioFormat(adpcm.ToBytes()));

  window.refuseFormats = true;
  EXPECT_FALSE(window.SetAudioFormat(DefaultPcmFormat().ToBytes()));
  window.refuseConnect = true;
  EXPECT_FALSE(window.DriverConnect(0));
  EXPECT_FALSE(window.DriverGetCaps().fCaptureInitialized);
}

}  // namespace
}  // namespace kelmo
