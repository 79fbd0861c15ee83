#include <gtest/gtest.h>

#include "audio/WaveFormat.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureRig.h"
#include "support/RecordingLog.h"

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
  CaptureEngine& window = rig.window;
  EXPECT_EQ(window.SetVideoFormat(Video(384, 288, kBiRgb, 24)).kind,
            DeviceErrorKind::NotPresent);  // not connected
  EXPECT_EQ(window.GetAudioFormatSize(), 0u);
  EXPECT_EQ(window.DriverConnect(1).kind, DeviceErrorKind::NotPresent);  // only one source
  ASSERT_TRUE(window.DriverConnect(0).ok());

  EXPECT_TRUE(window.SetVideoFormat(Video(384, 288, kBiRgb, 24)).ok());
  EXPECT_TRUE(window.SetVideoFormat(Video(768, 576, kFourccYuy2, 16)).ok());
  EXPECT_EQ(window.SetVideoFormat(Video(640, 480, kBiRgb, 24)).kind,
            DeviceErrorKind::FormatNotSupported);
  EXPECT_EQ(window.SetVideoFormat(Video(384, 288, kFourccYuy2, 24)).kind,
            DeviceErrorKind::FormatNotSupported);
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
  EXPECT_TRUE(window.DlgVideoFormat().ok());
  EXPECT_EQ(window.GetStatus().uiImageWidth, 384u);
  rig.dialogs.mode.reset();
  EXPECT_TRUE(window.DlgVideoFormat().ok());
  EXPECT_EQ(window.GetStatus().uiImageWidth, 384u);
}

// Each kind of refusal of the simulated device reaches the user in its own words and the log.
TEST(CaptureWindow, EachKindOfRefusalIsToldAndLogged) {
  const std::pair<DeviceErrorKind, const char*> cases[] = {
      {DeviceErrorKind::Busy, "Kelmo Test Pattern is in use by another program."},
      {DeviceErrorKind::NotPresent,
       "Kelmo Test Pattern is not there: the device was removed or never existed (No such file or "
       "directory)."},
      {DeviceErrorKind::Permission,
       "Kelmo Test Pattern may not be opened by this user (Permission denied): the user must be "
       "in the device's group (video or audio)."},
      {DeviceErrorKind::FormatNotSupported,
       "Kelmo Test Pattern cannot work in the format asked for (Invalid argument)."},
      {DeviceErrorKind::Io, "Kelmo Test Pattern failed (Input/output error)."},
  };
  for (const auto& [kind, text] : cases) {
    SCOPED_TRACE(text);
    RecordingLog log;
    CaptureRig rig({.openFault = kind});
    EXPECT_EQ(rig.window.DriverConnect(0).kind, kind);
    EXPECT_EQ(rig.Errors(), std::vector<std::string>{text});
    EXPECT_TRUE(
        log.Has(LogLevel::Error, "capture",
                std::string("Kelmo Test Pattern cannot connect: ") + DeviceErrorKindName(kind)));
  }
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
  ASSERT_TRUE(rig.window.DriverConnect(0).ok());
  rig.window.SetPreviewRate(40);
  rig.window.SetPreview(true);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_GE(view.frames.load(), 3);
  EXPECT_EQ(view.width.load(), 384);
  // The flags change while the grabber reads them (the thread sanitizer's case): with one of the
  // two always on, the grabber runs throughout.
  for (int i = 0; i < 200; ++i) {
    rig.window.SetOverlay(true);
    rig.window.SetPreview(false);
    rig.window.SetPreview(true);
    rig.window.SetOverlay(false);
  }
  const int before = view.frames.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_GT(view.frames.load(), before);

  rig.window.DriverDisconnect();
  const int shown = view.frames.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(view.frames.load(), shown);
  EXPECT_GE(view.clears.load(), 1);
}

}  // namespace
}  // namespace kelmo::test
