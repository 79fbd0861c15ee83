#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "audio/WaveFormat.h"
#include "audio/WmaFile.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "support/Fakes.h"
#include "support/MediaProbe.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

using test::DecodeMono;
using test::ProbeAudio;
using test::TempDir;
using test::ToneFrequency;

WaveFormatEx Pcm(uint32_t rate, uint16_t channels, uint16_t bits = 16) {
  return MakePcmFormat(rate, channels, bits);
}

std::vector<uint8_t> Tone(const WaveFormatEx& format, double seconds) {
  return test::ToneBytes(format, seconds, 1000);
}

AudioFormatSettings WmaSettings(const WaveFormatEx& input, int32_t bitrate, int32_t rate,
                                int32_t channels,
                                const std::string& name = "Windows Media Audio V2") {
  AudioFormatSettings s;
  s.inputFormatSet = s.compressionFormatSet = s.wmaOutput = 1;
  s.inputFormat = input.ToBytes();
  s.compressionFormatName = name;
  s.wmaBitrate = bitrate, s.wmaSampleRate = rate, s.wmaChannels = channels;
  return s;
}

// Hands `bytes` over in the capture's 4000-byte buffers.
void WriteBuffers(WmaFile& file, const std::vector<uint8_t>& bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += 4000)
    file.Write(bytes.data() + at,
               static_cast<uint32_t>(std::min<std::size_t>(4000, bytes.size() - at)));
}

class WmaFileTest : public ::testing::Test {
 protected:
  std::string CaptureName(const std::string& stem) { return (dir / (stem + ".avi")).string(); }

  TempDir dir;
  test::RecordingMessages messages;
  FfmpegWmaWriterFactory factory;
  WmaFile file{factory, messages};
};

TEST_F(WmaFileTest, RecordingsPlayWithTheChosenCodecRateAndChannelsAndFollowNoLink) {
  struct Case {
    WaveFormatEx input;
    int32_t bitrate, rate, channels;
    std::string name, codec;
    int64_t probedBitrate;
  };
  const Case cases[] = {
      {Pcm(22050, 1), 128000, 44100, 2, "Windows Media Audio V2", "wmav2", 128000},
      // Below the encoder's floor: accepted and encoded at the floor.
      {Pcm(22050, 1), 16000, 22050, 1, "Windows Media Audio V2", "wmav2", 24000},
      {Pcm(8000, 2, 8), 0, 8000, 1, "Windows Media Audio V1", "wmav1", 24000},
  };
  // A dangling link planted under the first name would create its target if written through.
  std::filesystem::create_symlink(dir / "precious", dir / "Kelmo.06_21.30.128000.wma");
  // No Flush between them: each Open lets the last writer go, which completes its file.
  std::vector<std::string> names;
  for (const Case& c : cases) {
    file.Open(CaptureName("Kelmo.06_21.30." + std::to_string(c.bitrate)),
              WmaSettings(c.input, c.bitrate, c.rate, c.channels, c.name));
    WriteBuffers(file, Tone(c.input, 3.0));
    names.push_back(file.FileName());
  }
  file.Flush();
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "precious"));
  EXPECT_EQ(names[0], (dir / "Kelmo.06_21.30.128000-2.wma").string());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(names[i]);
    const auto probed = ProbeAudio(names[i]);
    EXPECT_EQ(probed.codec, c.codec);
    EXPECT_EQ(probed.sampleRate, c.rate);
    EXPECT_EQ(probed.channels, c.channels);
    // The encoder rounds the rate to whole bytes per block.
    EXPECT_NEAR(static_cast<double>(probed.bitRate), c.probedBitrate, c.probedBitrate * 0.02);
    const auto decoded = DecodeMono(names[i], 8000);
    EXPECT_NEAR(decoded.size() / 8000.0, 3.0, 0.15);
    EXPECT_NEAR(ToneFrequency(decoded, 8000), 1000, 30);
  }
  // The mono source went into both stereo channels at its own (half-scale) level.
  EXPECT_GT(test::DecodedPeak(names[0]), 15000);
}

TEST_F(WmaFileTest, RefusedFormatsAreToldAndLeaveNoFile) {
  WaveFormatEx gsm = Pcm(8000, 1);
  gsm.wFormatTag = 0x31;
  file.Open(CaptureName("gsm"), WmaSettings(gsm, 32000, 22050, 1));
  // What a cancelled WMA dialog leaves.
  file.Open(CaptureName("zeros"), WmaSettings(Pcm(22050, 1), 0, 0, 0));
  file.Open((dir / "missing/Kelmo.avi").string(), WmaSettings(Pcm(22050, 1), 32000, 22050, 1));
  const auto tone = Tone(Pcm(22050, 1), 0.5);
  WriteBuffers(file, tone);
  file.Flush();
  EXPECT_THAT(messages.Texts(),
              ::testing::ElementsAre("ERROR WMA SetInputFormat", "ERROR WMA SetOutputFormat",
                                     "ERROR creando WindowsMediaAudioWriter"));
  EXPECT_FALSE(std::filesystem::exists(dir / "gsm.wma"));
  EXPECT_FALSE(std::filesystem::exists(dir / "zeros.wma"));
}

TEST_F(WmaFileTest, FullDiskFailsTheWriterInsteadOfLosingSoundSilently) {
  // A disk with room for a hundred bytes.
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "100", 1);
  std::unique_ptr<WmaWriter> writer;
  std::string path = (dir / "full.wma").string();
  ASSERT_EQ(factory.Create(path, WmaCodec::V2, writer), kWmaOk);
  ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
  ASSERT_GE(writer->SetInputFormat(Pcm(22050, 1).ToBytes()), 0);
  EXPECT_LT(writer->SetOutputFormat(32000, 22050, 1, 0), 0);
  const auto tone = Tone(Pcm(22050, 1), 0.1);
  EXPECT_LT(writer->Write(tone.data(), static_cast<uint32_t>(tone.size())), 0);
  EXPECT_LT(writer->Flush(), 0);
}

// At a high rate an ASF packet holds the most sound, so the once-a-second sync has the most to
// lose there.
TEST_F(WmaFileTest, RecordingCutOffByAKillStillPlaysToWithinASecond) {
  const WaveFormatEx input = Pcm(44100, 2);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    WmaFile recording(factory, messages);
    recording.Open(CaptureName("killed"), WmaSettings(input, 160000, 44100, 2));
    WriteBuffers(recording, Tone(input, 4.5));
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  const double seconds = DecodeMono(dir / "killed.wma", 8000).size() / 8000.0;
  EXPECT_GT(seconds, 3.5);
  EXPECT_LE(seconds, 4.6);
}

}  // namespace
}  // namespace kelmo
