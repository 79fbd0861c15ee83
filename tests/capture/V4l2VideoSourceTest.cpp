#include <gtest/gtest.h>

#include <cerrno>

#include "capture/CaptureRig.h"
#include "capture/linux/V4l2VideoSource.h"
#include "support/FakeV4l2Kernel.h"
#include "support/RecordingLog.h"

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
  ASSERT_TRUE(source->Open().ok());
  const auto modes = source->Modes();
  // NV12 is not offered; RGB24 arrives as BGR; sizes within the device's range only.
  EXPECT_EQ(modes.size(), 12u);
  EXPECT_EQ(modes.front(), (VideoMode{384, 288, PixelFormat::Bgr24}));
  ASSERT_EQ(source->Controls().size(), 4u);
  EXPECT_EQ(source->Controls()[0].name, "Brightness");
  EXPECT_EQ(source->Controls()[0].value, 100);
  EXPECT_EQ(source->Inputs().front(), "Television");

  ASSERT_TRUE(source->SetMode({768, 576, PixelFormat::Bgr24}).ok());
  EXPECT_EQ(card.pix.pixelformat, static_cast<uint32_t>(V4L2_PIX_FMT_RGB24));
  ASSERT_TRUE(source->StartStreaming().ok());
  VideoFrame frame;
  DeviceError error;
  ASSERT_TRUE(source->NextFrame(frame, 100, error)) << error.Text();
  EXPECT_EQ(frame.width, 768);
  EXPECT_EQ(frame.data.size(), 768u * 576 * 3);
  // The driver takes no new input or format while it streams.
  EXPECT_EQ(source->SetInput(1).kind, DeviceErrorKind::Busy);
  EXPECT_EQ(source->SetMode({384, 288, PixelFormat::Bgr24}).kind, DeviceErrorKind::Busy);

  // A lost frame is waited past, once logged; a long run of them ends the stream.
  {
    RecordingLog log;
    card.video.ioctlErrors[VIDIOC_DQBUF] = EIO;
    EXPECT_FALSE(source->NextFrame(frame, 100, error));
    EXPECT_TRUE(error.ok());
    card.video.ioctlErrors.clear();
    ASSERT_TRUE(source->NextFrame(frame, 100, error));
    EXPECT_TRUE(log.Has(LogLevel::Warning, "capture", "a frame was lost (Input/output error)"));
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", "pictures again after 1 lost frame(s)"));
    card.video.ioctlErrors[VIDIOC_DQBUF] = EIO;
    for (int i = 0; i < 60 && error.ok(); ++i) EXPECT_FALSE(source->NextFrame(frame, 100, error));
    EXPECT_EQ(error.kind, DeviceErrorKind::Io);
    EXPECT_TRUE(log.Has(LogLevel::Error, "capture", "stream stopped after 51 lost frame(s)"));
    EXPECT_EQ(log.Lines().size(), 4u);  // one warning for each run of losses
    card.video.ioctlErrors.clear();
  }
  source->StopStreaming();
  EXPECT_EQ(card.kernel.MappingCount(), 0);

  // A stream that cannot start releases its buffers and says why.
  card.streamOnError = EIO;
  EXPECT_NE(source->StartStreaming().Text().find(
                "(/dev/video0) failed (the device cannot stream: Input/output error)."),
            std::string::npos);
  EXPECT_EQ(card.kernel.MappingCount(), 0);

  // Each kind of refusal at the open: another program took it after the list was made, the user
  // may not open it, it was removed.
  const std::pair<int, const char*> refusals[] = {
      {EBUSY, "(/dev/video0) is in use by another program."},
      {EACCES,
       "(/dev/video0) may not be opened by this user (the device cannot be opened: Permission "
       "denied): the user must be in the device's group (video or audio)."}};
  for (const auto& [code, text] : refusals) {
    auto refused = card.Source();
    card.video.openError = code;
    EXPECT_NE(refused->Open().Text().find(text), std::string::npos) << text;
    card.video.openError = 0;
  }
  V4l2VideoSource missing(card.kernel, {"/dev/video7", "BT878 video", "bttv", 0, "", true, ""});
  EXPECT_EQ(missing.Open().kind, DeviceErrorKind::NotPresent);
}

// The Video Source and Video Format dialogs change the input and the format of a card whose
// picture streams: the window stops the stream, applies, and streams again.
TEST(V4l2VideoSource, TheDialogsChangeInputAndFormatWhileThePictureShows) {
  StreamingCard card;
  V4l2SourceCatalog catalog(card.kernel);
  FfmpegAviWriterFactory writers;
  SystemClock clock;
  AnsweringDialogs dialogs;
  struct CountingView final : PictureView {
    void ShowFrame(const VideoFrame&) override { ++frames; }
    void ClearPicture() override {}
    std::atomic<int> frames{0};
  } view;
  CaptureEngine window({catalog, writers, clock, nullptr, &view, &dialogs});
  ASSERT_TRUE(window.DriverConnect(0).ok());
  window.SetPreviewRate(1);
  window.SetPreview(true);
  auto waitForFrames = [&] {
    const int before = view.frames.load();
    for (int i = 0; i < 200 && view.frames.load() < before + 3; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return view.frames.load() >= before + 3;
  };
  ASSERT_TRUE(waitForFrames());

  dialogs.input = 2;
  EXPECT_TRUE(window.DlgVideoSource().ok());
  EXPECT_TRUE(dialogs.inputResult.ok()) << dialogs.inputResult.Text();
  EXPECT_EQ(card.video.input, 2u);
  EXPECT_TRUE(waitForFrames());

  dialogs.mode = VideoMode{768, 576, PixelFormat::Yuyv};
  EXPECT_TRUE(window.DlgVideoFormat().ok());
  EXPECT_EQ(card.pix.width, 768u);
  EXPECT_TRUE(waitForFrames());
  EXPECT_TRUE(card.video.streaming);
  window.DriverDisconnect();
}

}  // namespace
}  // namespace kelmo::test
