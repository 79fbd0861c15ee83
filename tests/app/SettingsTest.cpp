#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string_view>

#include "app/KelmoContext.h"
#include "app/ProfileBlock.h"
#include "app/ProfileFile.h"
#include "app/Settings.h"
#include "audio/WaveFormat.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureRig.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "support/TimeZone.h"

namespace kelmo {
namespace {

using test::ReadFile;
using test::WriteFile;

// 2024-03-05 21:30:15 UTC; the tests run in UTC.
constexpr int64_t kNow = 1709674215;

std::vector<uint8_t> StereoPcm44k() {
  WaveFormatEx f = DefaultPcmFormat();
  f.nChannels = 2, f.nSamplesPerSec = 44100, f.nAvgBytesPerSec = 176400, f.nBlockAlign = 4;
  return f.ToBytes();
}

std::vector<uint8_t> Yuy2At768() {
  BitmapInfoHeader h;
  h.biWidth = 768, h.biHeight = 576, h.biBitCount = 16;
  h.biCompression = kFourccYuy2, h.biSizeImage = 768 * 576 * 2;
  return h.ToBytes();
}

// Counts the times a file named `name` is put in place in `dir` (renamed into it or closed after
// writing) while `act` runs.
int Replacements(const std::filesystem::path& dir, std::string_view name,
                 const std::function<void()>& act) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  inotify_add_watch(fd, dir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
  act();
  int count = 0;
  alignas(inotify_event) char buffer[65536];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
    for (char* p = buffer; p < buffer + n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(p);
      if (event->len > 0 && name == event->name) ++count;
      p += sizeof(inotify_event) + event->len;
    }
  }
  ::close(fd);
  return count;
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : clock(kNow) { Restart(); }

  // A new program run on the same data folder, with a connected simulated capture window.
  void Restart() {
    ctx.reset();
    ctx = std::make_unique<KelmoContext>(clock, messages, power, shell, dir.Path());
    rig = std::make_unique<test::CaptureRig>();
    ASSERT_TRUE(rig->window.DriverConnect(0).ok());
    ctx->capture.SetWindow(&rig->window);
  }

  // Reads the settings with `cwd` as the current directory, and goes back afterwards.
  void LoadFrom(const std::filesystem::path& cwd) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(cwd);
    LoadSettings(*ctx);
    std::filesystem::current_path(previous);
  }

  std::string Config() const { return ReadFile(dir / "config.dat"); }

  test::ScopedTimeZone utc{"UTC0"};
  test::TempDir dir;
  ManualClock clock;
  test::RecordingMessages messages;
  RecordingPower power;
  test::RecordingShell shell;
  std::unique_ptr<test::CaptureRig> rig;
  std::unique_ptr<KelmoContext> ctx;
};

// A first run finds the defaults; hand-edited values out of range, damaged format blocks and
// keys whose format is missing fall back as if they were absent (a damaged sound format is told).
// Recordings go to the current folder, or to the home folder when the current one is not writable.
TEST_F(SettingsTest, FirstRunAndHandEditedValuesGiveTheDefaults) {
  test::TempDir current;
  const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("HOME", current.Path().c_str(), 1);
  LoadFrom("/proc/sys");  // refused to writers, even to root
  setenv("HOME", savedHome.c_str(), 1);
  const AppState& s = ctx->state;
  const auto defaults = std::make_tuple(1, 0, 25, 2, 1, 0);
  EXPECT_EQ(
      std::tie(s.tvMode, s.currentChannel, s.frameRate, s.tunerType, s.overlayOn, s.alwaysOnTop),
      defaults);
  EXPECT_EQ(s.saveDir, current.Path().string() + "/");

  WaveFormatEx silent = DefaultPcmFormat();
  silent.nChannels = 0;  // no device records it: it would look like a busy device at REC
  BitmapInfoHeader vga;
  vga.biWidth = 640, vga.biHeight = 480, vga.biBitCount = 24;
  ctx->channels.tv.count = 3;
  WriteFile(dir / "config.dat",
            "[General]\nTuner=7\nChannel=3\nFrameRate=0\nSaveDir=C:\\TV\\\n"
            "[Video]\nAudioFormat=AAB\nVideoFormat=" +
                EncodeProfileBlock(vga.ToBytes()) + "\n[Audio]\nInputFormat=" +
                EncodeProfileBlock(silent.ToBytes()) + "\nInputName=IMA ADPCM\nOutputFormat=" +
                EncodeProfileBlock(DefaultPcmFormat().ToBytes()) +
                "\nOutputName=PCM\nWMA=0\nWMABitRate=64000\nWMASampleRate=44100\nWMAChannels=2\n");
  ctx->capture.aviAudioFormatSet = 1;  // the card start-up's default format
  LoadFrom(dir.Path());
  EXPECT_EQ(
      std::tie(s.tvMode, s.currentChannel, s.frameRate, s.tunerType, s.overlayOn, s.alwaysOnTop),
      defaults);
  EXPECT_EQ(s.saveDir, dir.Path().string() + "/");
  EXPECT_EQ(ctx->capture.captureFileName, dir.Path().string() + "/Kelmo.05_21.30.15.avi");
  EXPECT_EQ(rig->window.CaptureFile(), ctx->capture.captureFileName);
  EXPECT_EQ(ctx->capture.aviAudioFormatSet, 1);  // no block: the flag stays
  EXPECT_EQ(ctx->capture.videoFormatSet, 0);     // the driver refused 640 x 480
  // The WMA values and the input's name count only under their format.
  const AudioFormatSettings& a = ctx->audioFormats;
  EXPECT_EQ(a.inputFormatName, "");
  EXPECT_EQ(std::tie(a.inputFormatSet, a.compressionFormatSet, a.wmaOutput, a.wmaBitrate,
                     a.wmaSampleRate, a.wmaChannels),
            std::make_tuple(0, 1, 0, 0, 0, 0));
  // The damaged input format is named, and stays in the file for the user to see.
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("([Audio] InputFormat) is damaged: it is not a format a sound "
                                     "card records"),
            std::string::npos);
  SaveSettings(*ctx);
  EXPECT_NE(Config().find(EncodeProfileBlock(silent.ToBytes())), std::string::npos);

  // The separator is added unless the folder already ends in one; a missing folder is kept.
  EXPECT_EQ(CaptureDirectoryFromSetting("/", "/d/"), "/");
  EXPECT_EQ(CaptureDirectoryFromSetting("/a", "/d/"), "/a/");
  EXPECT_EQ(CaptureDirectoryFromSetting("", "/d/"), "/d/");
}

// Saving writes every key in its order, in one write of the file as it is on disk then, and a
// restart reads it all back.
TEST_F(SettingsTest, SaveWritesEveryKeyAtOnceAndLoadRestoresIt) {
  LoadSettings(*ctx);
  // The profiles, written by a dialog after the settings were read.
  ASSERT_TRUE(ProfileFile(dir / "config.dat").WriteProfileInt("General", "ProfilesCount", 3));
  ctx->channels.fm.count = 5;
  AppState& s = ctx->state;
  s.tunerType = 1, s.currentChannel = 4, s.tvMode = 0, s.frameRate = 15, s.overlayOn = 0;
  s.alwaysOnTop = 1, s.saveDir = "/rec/", s.deinterlace = 0, s.recordingNotes = 0;
  ASSERT_TRUE(rig->window.SetAudioFormat(StereoPcm44k()));
  ASSERT_TRUE(rig->window.SetVideoFormat(Yuy2At768()).ok());
  rig->window.SetCompression({VideoCodec::H264, 30});
  AudioFormatSettings& a = ctx->audioFormats;
  a.inputFormatSet = 1, a.inputFormat = DefaultPcmFormat().ToBytes(), a.inputFormatName = "PCM";
  a.compressionFormatSet = 1, a.compressionFormatName = "Windows Media Audio V2";
  WaveFormatEx wma = DefaultPcmFormat();
  wma.wFormatTag = 0x161;
  wma.extra = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  a.compressionFormat = wma.ToBytes();
  a.compressionFormat.resize(50);  // a chooser's buffer is larger than the format it holds
  a.wmaOutput = 1, a.wmaBitrate = 64000, a.wmaSampleRate = 44100, a.wmaChannels = 2;
  EXPECT_EQ(Replacements(dir.Path(), "config.dat", [&] { SaveSettings(*ctx); }), 1);

  EXPECT_EQ(
      Config(),
      "[General]\nProfilesCount=3\nTuner=1\nChannel=4\nTV=0\nFrameRate=15\nOverlay=0\nOnTop=1\n"
      "RecordingNotes=0\n"
      "SaveDir=/rec/\nProgramsCount=0\nProgramsData=\n[Video]\nDeinterlace=0\nAudioFormat=" +
          EncodeProfileBlock(StereoPcm44k()) + "\nVideoFormat=" + EncodeProfileBlock(Yuy2At768()) +
          "\nCompressor=h264\nCompressorQuality=30\n[Audio]\nInputFormat=" +
          EncodeProfileBlock(DefaultPcmFormat().ToBytes()) +
          "\nInputName=PCM\nOutputFormat=" + EncodeProfileBlock(wma.ToBytes()) +
          "\nOutputName=Windows Media Audio V2\nWMA=1\nWMABitRate=64000\n"
          "WMASampleRate=44100\nWMAChannels=2\n");

  Restart();
  ctx->channels.fm.count = 5;
  LoadSettings(*ctx);
  const AppState& r = ctx->state;
  EXPECT_EQ(std::tie(r.tunerType, r.currentChannel, r.tvMode, r.frameRate, r.overlayOn,
                     r.alwaysOnTop, r.saveDir, r.deinterlace, r.recordingNotes),
            std::make_tuple(1, 4, 0, 15, 0, 1, "/rec/", 0, 0));
  // The compression dialog opens on the last choice, but the first recording still asks.
  EXPECT_EQ(rig->window.GetCompression(), (VideoCompressionChoice{VideoCodec::H264, 30}));
  EXPECT_EQ(std::tie(ctx->capture.aviAudioFormatSet, ctx->capture.videoFormatSet,
                     ctx->capture.compressionSet),
            std::make_tuple(1, 1, 0));
  const AudioFormatSettings& b = ctx->audioFormats;
  EXPECT_EQ(std::tie(b.compressionFormat, b.compressionFormatName, b.wmaBitrate, b.wmaChannels),
            std::make_tuple(wma.ToBytes(), "Windows Media Audio V2", 64000, 2));
}

TEST_F(SettingsTest, FormatsTheWindowCannotReportSurviveAStartAndAnExit) {
  const std::string video = "[Video]\r\nAudioFormat=" + EncodeProfileBlock(StereoPcm44k()) +
                            "\r\nVideoFormat=" + EncodeProfileBlock(Yuy2At768()) + "\r\n";
  WriteFile(dir / "config.dat", "[General]\r\nTuner=0\r\n" + video);
  for (bool connected : {false, true}) {
    Restart();
    if (!connected) rig->window.DriverDisconnect();
    ctx->capture.aviAudioFormatSet = 1;
    LoadSettings(*ctx);
    EXPECT_EQ(ctx->capture.aviAudioFormatSet, connected ? 1 : 0);
    SaveSettings(*ctx);
    EXPECT_NE(Config().find(video), std::string::npos) << connected;
  }
  // A format the window reports replaces the stored one.
  ASSERT_TRUE(rig->window.SetAudioFormat(DefaultPcmFormat().ToBytes()));
  SaveSettings(*ctx);
  EXPECT_NE(Config().find("AudioFormat=" + EncodeProfileBlock(DefaultPcmFormat().ToBytes())),
            std::string::npos);
}

// A folder in config.dat's place is told at the start. A config.dat the user made read-only is
// read, and left as it is: the exit's save says which file and why.
TEST_F(SettingsTest, AFileThatCannotBeReadIsToldAndAReadOnlyOneIsNotReplaced) {
  std::filesystem::create_directory(dir / "config.dat");
  LoadSettings(*ctx);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("could not be read (it is a folder, not a file)"),
            std::string::npos);
  std::filesystem::remove(dir / "config.dat");
  WriteFile(dir / "config.dat", "[General]\nFrameRate=10\n");
  std::filesystem::permissions(dir / "config.dat", std::filesystem::perms::owner_read);
  LoadSettings(*ctx);
  EXPECT_EQ(ctx->state.frameRate, 10);
  ctx->state.frameRate = 12;
  EXPECT_FALSE(SaveSettings(*ctx));
  EXPECT_EQ(Config(), "[General]\nFrameRate=10\n");
  EXPECT_EQ(messages.Texts().back(), "The settings could not be saved in " +
                                         (dir / "config.dat").string() + " (it is read-only).");
}

}  // namespace
}  // namespace kelmo
