#include <gtest/gtest.h>

#include <cerrno>

#include "capture/linux/V4l2VideoSource.h"
#include "support/FakeV4l2Kernel.h"

namespace kelmo::test {
namespace {

// A capture card that streams YUYV and RGB24 at any size from 48 x 32 to 768 x 576, through four
// buffers that are always full.
struct StreamingCard {
  FakeV4l2Kernel kernel;
  FakeDevice& video = kernel.AddTvCard(0, "PCI:0000:05:00.0");
  v4l2_pix_format pix{
      384, 288, V4L2_PIX_FMT_YUYV, V4L2_FIELD_INTERLACED, 768, 768 * 288, 0, 0, 0, 0, 0, 0};
  int streamOnError = 0;

  StreamingCard() {
    video.controls[V4L2_CID_BRIGHTNESS] = {0, 255, 1, 128, 100};
    video.otherIoctl = [this](unsigned long request, void* arg) { return Handle(request, arg); };
  }

  int Handle(unsigned long request, void* arg) {
    switch (request) {
      case VIDIOC_ENUM_FMT: {
        auto* d = static_cast<v4l2_fmtdesc*>(arg);
        const uint32_t formats[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_RGB24, V4L2_PIX_FMT_NV12};
        if (d->index >= 3) return -EINVAL;
        d->pixelformat = formats[d->index];
        return 0;
      }
      case VIDIOC_ENUM_FRAMESIZES: {
        auto* s = static_cast<v4l2_frmsizeenum*>(arg);
        if (s->index > 0) return -EINVAL;
        s->type = V4L2_FRMSIZE_TYPE_STEPWISE;
        s->stepwise = {48, 768, 2, 32, 576, 2};
        return 0;
      }
      case VIDIOC_G_FMT:
        static_cast<v4l2_format*>(arg)->fmt.pix = pix;
        return 0;
      case VIDIOC_S_FMT: {
        auto& p = static_cast<v4l2_format*>(arg)->fmt.pix;
        pix.width = std::min(p.width, 768u);
        pix.height = std::min(p.height, 576u);
        pix.pixelformat = p.pixelformat;
        pix.bytesperline = pix.width * (p.pixelformat == V4L2_PIX_FMT_YUYV ? 2 : 3);
        p = pix;
        return 0;
      }
      case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        b->length = pix.bytesperline * pix.height;
        b->m.offset = b->index * b->length;
        return 0;
      }
      case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        b->index = 0;
        b->bytesused = pix.bytesperline * pix.height;
        return 0;
      }
      case VIDIOC_STREAMON:
        return -streamOnError;
      case VIDIOC_REQBUFS:
      case VIDIOC_QBUF:
      case VIDIOC_STREAMOFF:
      case VIDIOC_S_PARM:
        return 0;
    }
    return -ENOTTY;
  }

  std::unique_ptr<VideoSource> Source() {
    V4l2SourceCatalog catalog(kernel);
    const auto entries = catalog.List();
    EXPECT_EQ(entries.size(), 1u);
    return catalog.Make(0);
  }
};

TEST(V4l2VideoSource, OffersTheLayoutsItCanTakeStreamsOrSaysWhyNot) {
  StreamingCard card;
  auto source = card.Source();
  std::string error;
  ASSERT_TRUE(source->Open(error)) << error;
  const auto modes = source->Modes();
  // NV12 is not offered; RGB24 arrives as BGR; sizes within the device's range only.
  EXPECT_EQ(modes.size(), 12u);
  EXPECT_EQ(modes.front(), (VideoMode{384, 288, PixelFormat::Bgr24}));
  ASSERT_EQ(source->Controls().size(), 4u);
  EXPECT_EQ(source->Controls()[0].name, "Brightness");
  EXPECT_EQ(source->Controls()[0].value, 100);
  EXPECT_EQ(source->Inputs().front(), "Television");

  ASSERT_TRUE(source->SetMode({768, 576, PixelFormat::Bgr24}));
  EXPECT_EQ(card.pix.pixelformat, static_cast<uint32_t>(V4L2_PIX_FMT_RGB24));
  ASSERT_TRUE(source->StartStreaming(error)) << error;
  VideoFrame frame;
  ASSERT_TRUE(source->NextFrame(frame, 100, error)) << error;
  EXPECT_EQ(frame.width, 768);
  EXPECT_EQ(frame.data.size(), 768u * 576 * 3);
  source->StopStreaming();
  EXPECT_EQ(card.kernel.MappingCount(), 0);

  // A stream that cannot start releases its buffers and says why.
  card.streamOnError = EIO;
  EXPECT_FALSE(source->StartStreaming(error));
  EXPECT_NE(error.find("(/dev/video0): the device cannot stream"), std::string::npos) << error;
  EXPECT_EQ(card.kernel.MappingCount(), 0);

  // A device another program took after the list was made, and one that was removed.
  auto busy = card.Source();
  card.video.openError = EBUSY;
  EXPECT_FALSE(busy->Open(error));
  EXPECT_NE(error.find("(/dev/video0) is in use by another program."), std::string::npos);
  V4l2VideoSource missing(card.kernel, {"/dev/video7", "BT878 video", "bttv", 0, "", true, ""});
  EXPECT_FALSE(missing.Open(error));
  EXPECT_EQ(error, "BT878 video (/dev/video7) is not there: the device was removed.");
}

}  // namespace
}  // namespace kelmo::test
