#include <gtest/gtest.h>

#include "audio/WaveFormat.h"
#include "capture/CaptureRig.h"

namespace kelmo::test {
namespace {

std::vector<uint8_t> Video(int32_t width, int32_t height, uint32_t compression, uint16_t bits) {
  BitmapInfoHeader h;
  h.biWidth = width;
  h.biHeight = height;
  h.biCompression = compression;
  h.biBitCount = bits;
  return h.ToBytes();
}

TEST(CaptureWindow, AcceptsOnlyTheFormatsTheSourceOffersWhileConnected) {
  CaptureRig rig;
  SourceCaptureWindow& window = rig.window;
  EXPECT_FALSE(window.SetVideoFormat(Video(384, 288, kBiRgb, 24)));  // not connected
  EXPECT_EQ(window.GetAudioFormatSize(), 0u);
  EXPECT_FALSE(window.DriverConnect(1));  // only one source
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

  // The format dialog's choice takes effect; its cancel keeps the format in use.
  rig.dialogs.mode = VideoMode{384, 288, PixelFormat::Bgr24};
  EXPECT_TRUE(window.DlgVideoFormat());
  EXPECT_EQ(window.GetStatus().uiImageWidth, 384u);
  rig.dialogs.mode.reset();
  EXPECT_TRUE(window.DlgVideoFormat());
  EXPECT_EQ(window.GetStatus().uiImageWidth, 384u);
}

TEST(CaptureWindow, ThePreviewPaintsFramesUntilTheDriverGoes) {
  struct CountingView final : PictureView {
    void ShowFrame(const VideoFrame& f) override {
      width = f.width;
      ++frames;
    }
    void ClearPicture() override { ++clears; }
    std::atomic<int> frames{0}, clears{0}, width{0};
  } view;
  CaptureRig rig;
  rig.window.AttachToParent(&view, &rig.dialogs);
  ASSERT_TRUE(rig.window.DriverConnect(0));
  rig.window.SetPreviewRate(40);
  rig.window.SetPreview(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GE(view.frames.load(), 3);
  EXPECT_EQ(view.width.load(), 384);
  rig.window.DriverDisconnect();
  const int shown = view.frames.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(view.frames.load(), shown);
  EXPECT_GE(view.clears.load(), 1);
}

}  // namespace
}  // namespace kelmo::test
