#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "capture/PictureFit.h"
#include "capture/PreviewPacer.h"
#include "capture/linux/AvDeinterlacer.h"
#include "capture/sim/TestPatternSource.h"
#include "platform/sim/ManualClock.h"

namespace kelmo::test {
namespace {

TEST(PictureFit, CardPicturesAre4By3AndOthersKeepTheirShape) {
  // A card's picture in a wide area: bars left and right; in a tall one, above and below.
  EXPECT_EQ(FitPicture(768, 576, 1024, 600), (PictureRect{112, 0, 800, 600}));
  EXPECT_EQ(FitPicture(720, 576, 1024, 600), (PictureRect{112, 0, 800, 600}));
  EXPECT_EQ(FitPicture(384, 288, 400, 600), (PictureRect{0, 150, 400, 300}));
  EXPECT_EQ(FitPicture(384, 288, 384, 288), (PictureRect{0, 0, 384, 288}));
  // A camera's 16:9 keeps its own shape.
  EXPECT_EQ(FitPicture(1280, 720, 1024, 768), (PictureRect{0, 96, 1024, 576}));
  EXPECT_EQ(FitPicture(0, 0, 100, 100), PictureRect{});
  EXPECT_EQ(FitPicture(768, 576, 0, 100), PictureRect{});
  EXPECT_TRUE(IsFullHeightCapture(576));
  EXPECT_FALSE(IsFullHeightCapture(288));
}

// Rows where a line differs sharply from both its neighbours: the teeth of a comb.
int CombedRows(const VideoFrame& f) {
  int combed = 0;
  for (int y = 1; y + 1 < f.height; ++y) {
    int teeth = 0;
    for (int x = 0; x < f.width; ++x) {
      auto at = [&](int row) {
        const uint8_t* p =
            &f.data[f.Stride() * static_cast<std::size_t>(row) + static_cast<std::size_t>(x) * 3];
        return p[0] + p[1] + p[2];
      };
      const int d1 = at(y) - at(y - 1);
      const int d2 = at(y) - at(y + 1);
      if (std::abs(d1) > 100 && std::abs(d2) > 100 && (d1 > 0) == (d2 > 0)) ++teeth;
    }
    if (teeth > 4) ++combed;
  }
  return combed;
}

// The sum of the differences of two BGR24 pictures of one size.
int64_t Distance(const VideoFrame& a, const VideoFrame& b) {
  int64_t sum = 0;
  for (std::size_t i = 0; i < a.data.size(); ++i) sum += std::abs(a.data[i] - b.data[i]);
  return sum;
}

// The test pattern at full height is two fields half a frame apart, so its moving block combs;
// the deinterlaced picture has no comb left. At half height there is one field and no comb.
TEST(LivePicture, DeinterlacingRemovesTheCombOfAFullHeightPicture) {
  ManualClock clock(36000);
  TestPatternSource source(clock, [](KelmoSimCardState& s) {
    s.band = KELMO_SIM_BAND_TV;
    s.stationFound = 1;
    std::snprintf(s.stationName, sizeof s.stationName, "Das Erste");
    return true;
  });
  ASSERT_TRUE(source.Open().ok());
  DeviceError error;
  for (const PixelFormat format : {PixelFormat::Yuyv, PixelFormat::Bgr24}) {
    ASSERT_TRUE(source.SetMode({768, 576, format}).ok());
    ASSERT_TRUE(source.StartStreaming().ok());
    AvDeinterlacer deinterlacer;
    VideoFrame frame, woven, bgr, previous;
    int shown = 0;
    for (int i = 0; i < 4; ++i) {
      clock.AdvanceMilliseconds(40);
      ASSERT_TRUE(source.NextFrame(frame, 1000, error)) << error.Text();
      if (!deinterlacer.Process(frame, woven)) continue;
      ++shown;
      previous = bgr;
      bgr.Resize(frame.width, frame.height, PixelFormat::Bgr24);
      if (format == PixelFormat::Yuyv)
        YuyvToBgr(frame.data, bgr.data, frame.width, frame.height);
      else
        bgr.data = frame.data;
      EXPECT_GT(CombedRows(bgr), 50);
      EXPECT_EQ(CombedRows(woven), 0);
      // The picture that comes out is this frame's, not the one before (whose block sat elsewhere).
      if (i > 0) {
        EXPECT_LT(Distance(woven, bgr), Distance(woven, previous));
      }
      EXPECT_EQ(woven.width, 768);
      EXPECT_EQ(woven.height, 576);
    }
    EXPECT_EQ(shown, 4) << deinterlacer.Error();  // each frame at once: no look ahead
    source.StopStreaming();
  }
  ASSERT_TRUE(source.SetMode({384, 288, PixelFormat::Bgr24}).ok());
  ASSERT_TRUE(source.StartStreaming().ok());
  VideoFrame half;
  clock.AdvanceMilliseconds(40);
  ASSERT_TRUE(source.NextFrame(half, 1000, error));
  EXPECT_EQ(CombedRows(half), 0);
}

// A source at the preview rate shows every frame, jitter or not; a faster one shows the rate's
// share; after a pause the schedule starts again instead of bursting.
TEST(LivePicture, PreviewPacerShowsFramesOnTheRatesSchedule) {
  PreviewPacer pacer;
  int shown = 0;
  for (int i = 0; i < 100; ++i) shown += pacer.Due(i * 40 + (i % 2 == 0 ? -1 : 1), 40);
  EXPECT_EQ(shown, 100);
  PreviewPacer slower;
  shown = 0;
  for (int i = 0; i < 100; ++i) shown += slower.Due(i * 40, 100);
  EXPECT_NEAR(shown, 40, 1);
  EXPECT_TRUE(slower.Due(10000, 100));
  EXPECT_FALSE(slower.Due(10040, 100));
  EXPECT_TRUE(slower.Due(10100, 100));
}

}  // namespace
}  // namespace kelmo::test
