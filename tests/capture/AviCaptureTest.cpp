#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "capture/CaptureRig.h"
#include "support/RecordingLog.h"

namespace kelmo::test {
namespace {

TEST(AviCapture, EachCompressorWritesItsStream) {
  TempDir dir;
  CaptureRig rig;
  ASSERT_TRUE(rig.window.DriverConnect(0).ok());
  // Motion JPEG and HuffYUV are the window test's and the recording test's.
  const std::pair<VideoCodec, const char*> codecs[] = {{VideoCodec::Uncompressed, "rawvideo"},
                                                       {VideoCodec::Ffv1, "ffv1"},
                                                       {VideoCodec::Mpeg4, "mpeg4"},
                                                       {VideoCodec::H264, "h264"}};
  for (const auto& [codec, name] : codecs) {
    rig.window.SetCompression({codec, 0});
    const std::string file = (dir / (std::string(name) + ".avi")).string();
    rig.Record(file, 600, 10, false);
    const auto streams = Probe(file);
    ASSERT_EQ(streams.size(), 1u) << name;
    EXPECT_EQ(streams[0].at("codec_name"), name);
    EXPECT_EQ(streams[0].at("r_frame_rate"), "10/1");
  }
}

TEST(AviCapture, LosslessAndRawPicturesDecodeTheRightWayUp) {
  // A white top half over a black bottom half, in both source layouts.
  TempDir dir;
  constexpr int kWidth = 64, kHeight = 48;
  for (const PixelFormat layout : {PixelFormat::Bgr24, PixelFormat::Yuyv}) {
    VideoFrame frame;
    frame.Resize(kWidth, kHeight, PixelFormat::Bgr24);
    std::fill(frame.data.begin(), frame.data.begin() + frame.data.size() / 2, 0xFF);
    if (layout == PixelFormat::Yuyv) {
      VideoFrame yuyv;
      yuyv.Resize(kWidth, kHeight, PixelFormat::Yuyv);
      BgrToYuyv(frame.data, yuyv.data, kWidth, kHeight);
      frame = yuyv;
    }
    std::vector<uint8_t> reference;
    for (const VideoCodec codec :
         {VideoCodec::Uncompressed, VideoCodec::Ffv1, VideoCodec::HuffYuv}) {
      const std::string file =
          (dir / ("pic" + std::to_string(static_cast<int>(codec)) + ".avi")).string();
      AviSetup setup{file, {kWidth, kHeight, layout}, 40000, {codec, 0}, std::nullopt};
      FfmpegAviWriter writer;
      std::string error;
      ASSERT_TRUE(writer.Open(setup, error)) << error;
      ASSERT_TRUE(writer.WriteVideo(frame, error)) << error;
      ASSERT_TRUE(writer.Close(error)) << error;
      const std::vector<uint8_t> grey = DecodeFirstPictureGrey(file);
      ASSERT_EQ(grey.size(), static_cast<std::size_t>(kWidth * kHeight)) << file;
      EXPECT_GT(grey.front(), 200) << CodecInfo(codec).name;
      EXPECT_LT(grey.back(), 40) << CodecInfo(codec).name;
      // The lossless codecs give back the very picture the raw file holds.
      if (reference.empty()) reference = grey;
      if (codec == VideoCodec::Ffv1) {
        EXPECT_EQ(grey, reference);
      }
    }
  }
}

TEST(AviCapture, FaultsOfTheSourceAreToldAndTheFileStaysValid) {
  TempDir dir;
  {
    // The picture stops after two seconds; the sound and the frame slots go on.
    CaptureRig rig({.failStream = true});
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    const std::string file = (dir / "stopped.avi").string();
    rig.Record(file, 3000);
    ASSERT_GE(rig.Errors().size(), 1u);
    EXPECT_NE(rig.Errors()[0].find("stream stopped"), std::string::npos);
    const auto streams = Probe(file);
    ASSERT_EQ(streams.size(), 2u);
    // The sound's length: its sample count (the header's stream length) over its rate.
    const ProbedStream& audio = streams[1];
    EXPECT_NEAR(std::stod(streams[0].at("duration")),
                std::stod(audio.at("nb_frames")) / std::stod(audio.at("sample_rate")), 0.04);
  }
  {
    // Each frame takes 80 ms: about every other slot has no new picture, more than a recording
    // may lose: the user is told at the end, and the log has the run of drops and the recording's
    // start and end with its counts.
    RecordingLog log;
    CaptureRig rig({.delayMs = 80});
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    const std::string file = (dir / "slow.avi").string();
    rig.Record(file, 2000);
    const auto statuses = rig.Statuses();
    const std::string stats = statuses[statuses.size() - 2].second;
    const std::size_t open = stats.find(" frames (");
    ASSERT_NE(open, std::string::npos) << stats;
    const int dropped = std::stoi(stats.substr(open + 9));
    EXPECT_GE(dropped, 15) << stats;
    EXPECT_EQ(Probe(file).size(), 2u);
    ASSERT_EQ(rig.Errors().size(), 1u);
    EXPECT_NE(rig.Errors()[0].find("Frames were lost: " + std::to_string(dropped) + " of the"),
              std::string::npos)
        << rig.Errors()[0];
    EXPECT_TRUE(log.Has(LogLevel::Warning, "capture", " dropped ("));
    EXPECT_TRUE(log.Has(LogLevel::Warning, "capture", "the limit is 10 %"));  // the window's own
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", "recording to " + file));
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", "recording ended: " + file + ", "));
    EXPECT_LT(log.Lines().size(), 10u);  // not a line per dropped frame

    // The same losses in a recording under a second are logged, not put to the user.
    CaptureRig brief({.delayMs = 80});
    ASSERT_TRUE(brief.window.DriverConnect(0).ok());
    brief.Record((dir / "brief.avi").string(), 400);
    EXPECT_TRUE(brief.Errors().empty()) << brief.Errors()[0];
  }
  {
    // The sound input opens but will not start: the picture is recorded alone, all of it.
    SystemClock clock;
    SimWaveInput held(clock, {}, {.fail = DeviceErrorKind::Io});
    CaptureRig rig({}, CaptureRig::TvStation(), &held);
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    const std::string file = (dir / "mute.avi").string();
    rig.Record(file, 500);
    ASSERT_EQ(rig.Errors().size(), 1u);
    EXPECT_NE(rig.Errors()[0].find("without sound"), std::string::npos);
    const auto streams = Probe(file);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].at("codec_type"), "video");
    EXPECT_GE(std::stoi(streams[0].at("nb_read_packets")), 8);
    EXPECT_EQ(rig.Statuses()[rig.Statuses().size() - 2].first, kCapStatusStatsNoAudio);
  }
}

TEST(AviCapture, AnUnwritableFolderEndsTheRecordingWithAMessage) {
  CaptureRig rig;
  ASSERT_TRUE(rig.window.DriverConnect(0).ok());
  rig.Record("/nonexistent-folder/Kelmo.avi", 300);
  ASSERT_EQ(rig.Errors().size(), 1u);
  EXPECT_NE(rig.Errors()[0].find("/nonexistent-folder/Kelmo.avi"), std::string::npos);
  const auto statuses = rig.Statuses();
  EXPECT_EQ(statuses.back().first, kCapStatusEnd);
  EXPECT_NE(statuses[statuses.size() - 2].second.find("Recording stopped"), std::string::npos);
}

TEST(AviCapture, ARecordingKilledMidwayStaysReadable) {
  TempDir dir;
  const std::string file = (dir / "killed.avi").string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CaptureRig rig;
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    rig.Record(file, 60000);
    ::_exit(0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(3500));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  const auto streams = Probe(file);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].at("codec_name"), "mjpeg");
  // All but the last second is there: the file is brought up to date once a second, its header's
  // counts too, so the file tells its length without an index.
  const int frames = std::stoi(streams[0].at("nb_read_packets"));
  EXPECT_GE(frames, 40);
  ASSERT_NE(streams[0].at("duration"), "N/A");
  EXPECT_NEAR(std::stod(streams[0].at("duration")), frames / 25.0, 1.0);
  EXPECT_NEAR(std::stod(streams[1].at("nb_frames")) / 22050, frames / 25.0, 1.0);
}

TEST(AviCapture, AFullDiskStopsTheRecordingWhileTheIndexStillFits) {
  TempDir dir;
  RecordingLog log;
  const std::string file = (dir / "full.avi").string();
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "800000", 1);
  {
    CaptureRig rig;
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    rig.Record(file, 4000);
    ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
    ASSERT_EQ(rig.Errors().size(), 1u);
    EXPECT_EQ(rig.Errors()[0].rfind("The disk is full: the recording has stopped.\n" + file, 0), 0u)
        << rig.Errors()[0];
    const auto statuses = rig.Statuses();
    EXPECT_NE(statuses[statuses.size() - 2].second.find("Recording stopped: the disk is full"),
              std::string::npos);
  }
  EXPECT_TRUE(log.Has(LogLevel::Error, "capture", "the disk is full"));
  // Closed properly: the index is there and every stream knows its length.
  const std::string bytes = ReadFile(file);
  EXPECT_LE(bytes.size(), 800000u);
  EXPECT_NE(bytes.find("idx1"), std::string::npos);
  const auto streams = Probe(file);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_NE(streams[0].at("nb_frames"), "0");
  EXPECT_NE(streams[0].at("duration"), "N/A");
}

TEST(AviCapture, ALinkPlantedUnderTheNameIsNotWrittenThroughAndAFailedStartLeavesNoFile) {
  TempDir dir;
  const std::string precious = (dir / "precious").string();
  { std::ofstream(precious) << "keep me"; }
  const std::string file = (dir / "Kelmo.07_21.30.avi").string();
  std::filesystem::create_symlink(precious, file);
  FfmpegAviWriter writer;
  std::string error;
  AviSetup setup{
      file, {64, 48, PixelFormat::Yuyv}, 40000, {VideoCodec::MotionJpeg, 3}, std::nullopt};
  ASSERT_TRUE(writer.Open(setup, error)) << error;
  EXPECT_TRUE(writer.Close(error)) << error;
  EXPECT_EQ(ReadFile(precious), "keep me");
  EXPECT_EQ(writer.Path(), (dir / "Kelmo.07_21.30-2.avi").string());
  EXPECT_EQ(Probe(writer.Path()).size(), 1u);

  // A disk without room for the header: the recording cannot start and leaves no file.
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "100", 1);
  setup.path = (dir / "full.avi").string();
  EXPECT_FALSE(writer.Open(setup, error));
  ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
  EXPECT_NE(error.find("the disk is full"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(setup.path));
}

}  // namespace
}  // namespace kelmo::test
