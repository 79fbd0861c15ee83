#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(AviCapture, FaultsOfTheSourceAreToldAndTheFileStaysValid) {
  TempDir dir;
  {
    // The picture stops after two seconds; the sound and the frame slots go on.
    CaptureRig rig({.failStream = true});
    ASSERT_TRUE(rig.window.DriverConnect(0).ok());
    const std::string file = (dir / "stopped.avi").string();
    rig.Record(file, 3000);
    ASSERT_EQ(rig.Errors().size(), 1u);
    EXPECT_NE(rig.Errors()[0].find("stream stopped"), std::string::npos);
    const auto streams = Probe(file);
    ASSERT_EQ(streams.size(), 2u);
    // The sound's length: its sample count (the header's stream length) over its rate.
    const ProbedStream& audio = streams[1];
    EXPECT_NEAR(std::stod(streams[0].at("duration")),
                std::stod(audio.at("nb_frames")) / std::stod(audio.at("sample_rate")), 0.04);
  }
  {
    // Each frame takes 80 ms: about every other slot has no new picture. The log tells the drops
    // a second at a time, and the recording's start and end with its counts.
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
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", "recording started: " + file));
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", "recording ended: " + file + ", "));
    EXPECT_TRUE(log.Has(LogLevel::Info, "capture", " dropped"));
    EXPECT_TRUE(log.Has(LogLevel::Warning, "capture", "frame(s) dropped up to frame"));
    EXPECT_LT(log.Lines().size(), 10u);  // not a line per dropped frame
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
  // All but the last second is there: the file is brought up to date once a second.
  EXPECT_GE(std::stoi(streams[0].at("nb_read_packets")), 40);
}

}  // namespace
}  // namespace kelmo::test
