#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "audio/AcmFormats.h"
#include "audio/AudioFileWriter.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "support/Fakes.h"
#include "support/LockedView.h"
#include "support/MediaProbe.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

using test::Le32;
using test::SoxType;

// "pcm_s16le 22050 1": what ffprobe reads of the file.
std::string Probe(const std::string& path) {
  const test::AudioStream s = test::ProbeAudio(path);
  return s.codec + " " + std::to_string(s.sampleRate) + " " + std::to_string(s.channels);
}

std::vector<uint8_t> Tone(double seconds, const WaveFormatEx& f = DefaultPcmFormat()) {
  return test::ToneBytes(f, seconds, 440);
}

class AudioFileWriterTest : public ::testing::Test {
 protected:
  AudioFormatSettings Formats(const WaveFormatEx& in = DefaultPcmFormat(),
                              const WaveFormatEx& out = DefaultPcmFormat()) {
    AudioFormatSettings f;
    f.inputFormatSet = f.compressionFormatSet = 1;
    f.inputFormat = in.ToBytes();
    f.compressionFormat = out.ToBytes();
    return f;
  }

  // Records `bytes` in 4000-byte buffers, as the capture engine hands them over; the WAV file.
  std::string Record(const AudioFormatSettings& formats, const std::vector<uint8_t>& bytes,
                     const std::string& name = "Kelmo.06_22.05.avi") {
    writer.Open((dir / name).string(), formats);
    std::vector<uint8_t> buffer;
    for (std::size_t at = 0; at + 4000 <= bytes.size(); at += 4000) {
      buffer.assign(bytes.begin() + at, bytes.begin() + at + 4000);
      writer.Write(buffer.data(), 4000);
    }
    writer.Close();
    return writer.FileName();
  }

  test::TempDir dir;
  test::RecordingMessages messages;
  test::LockedView view;
  FfmpegCodecManager codecs;
  FfmpegWmaWriterFactory wma;
  AudioFileWriter writer{codecs, wma, messages, view};
};

TEST_F(AudioFileWriterTest, PcmFileHasThe58ByteHeaderAndEveryCapturedByte) {
  const auto input = Tone(1.0);  // 44100 bytes: eleven whole buffers
  const std::string path = Record(Formats(), input);
  const std::string bytes = test::ReadFile(path);
  const std::string header(
      "RIFF\x12\xac\x00\x00WAVEfmt \x12\x00\x00\x00"
      "\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00"
      "\x00\x00"
      "fact\x04\x00\x00\x00\xf0\x55\x00\x00"
      "data\xe0\xab\x00\x00",
      58);
  ASSERT_EQ(bytes.size(), 58u + 44000);
  EXPECT_EQ(bytes.substr(0, 58), header);
  EXPECT_EQ(bytes.substr(58), std::string(input.begin(), input.begin() + 44000));

  // A write after the close changes nothing, not even the indicator.
  const auto writes = view.Get().clockWrites;
  writer.Write(input.data(), 4000);
  EXPECT_EQ(view.Get().clockWrites, writes);
  EXPECT_EQ(test::ReadFile(path), bytes);
}

TEST_F(AudioFileWriterTest, EveryCodecWritesAFileOtherPlayersRead) {
  struct Case {
    AcmFormatRequest out;
    const char* probe;
    WaveFormatEx in = DefaultPcmFormat();
  };
  const Case cases[] = {
      {{kTagImaAdpcm, 22050, 1}, "adpcm_ima_wav 22050 1"},
      {{kTagMsAdpcm, 22050, 2}, "adpcm_ms 22050 2"},
      {{kTagALaw, 8000, 1}, "pcm_alaw 8000 1"},
      {{kTagMuLaw, 11025, 1}, "pcm_mulaw 11025 1"},
      {{kTagGsm610, 8000, 1}, "gsm_ms 8000 1", MakePcmFormat(8000, 1, 16)},
      {{kTagMpegLayer3, 22050, 1, 0, 32000}, "mp3 22050 1"},
      {{kTagPcm, 44100, 2, 16}, "pcm_s16le 44100 2"},
      {{kTagPcm, 22050, 2, 16}, "pcm_s16le 22050 2", MakePcmFormat(22050, 1, 8)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.probe);
    const WaveFormatEx out = *DescribeAcmFormat(c.out);
    const std::string path =
        Record(Formats(c.in, out), Tone(2.0, c.in), std::to_string(&c - cases) + ".avi");
    EXPECT_EQ(Probe(path), c.probe);
    if (c.out.tag != kTagMpegLayer3) {  // sox does not read MP3 in WAV
      EXPECT_EQ(SoxType(path), "wav\n");
    }
    // The "fmt " chunk holds the format as described, its extra bytes included; whole blocks.
    const std::string bytes = test::ReadFile(path);
    const std::vector<uint8_t> block = out.ToBytes();
    const std::size_t size = c.out.tag == kTagPcm ? 18 : block.size();
    EXPECT_EQ(Le32(bytes, 16), size);
    EXPECT_EQ(bytes.substr(20, size), std::string(block.begin(), block.begin() + size));
    EXPECT_EQ((bytes.size() - 40 - size) % out.nBlockAlign, 0u);
    if (c.out.tag == kTagImaAdpcm || c.out.tag == kTagMsAdpcm) {
      // Every sample of the 22 whole buffers, across the buffers' edges; only the last block
      // padded.
      const std::size_t decoded = test::DecodeMono(path, 22050).size();
      EXPECT_GE(decoded, 22 * 2000u);
      EXPECT_LT(decoded, 22 * 2000u + SamplesPerBlock(out));
      // "fact" holds the samples recorded, without the padding, so readers get the length right.
      EXPECT_EQ(Le32(bytes, 28 + (size + 1) / 2 * 2), 22 * 2000u);
    }
  }
  // 8-bit mono grown into 16-bit stereo: every whole buffer captured, four times its bytes, and
  // the half-scale tone still at half scale in each channel.
  EXPECT_EQ(test::ReadFile(dir / "7.wav").size(), 58u + 11 * 4000 * 4);
  EXPECT_GT(test::DecodedPeak(dir / "7.wav"), 15500);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(AudioFileWriterTest, IndicatorCyclesThroughRecordingAndTheFormatName) {
  writer.Open((dir / "a.avi").string(), Formats());
  std::vector<uint8_t> buffer(4000);
  std::string shown;
  for (int i = 1; i <= 45; ++i) {
    writer.Write(buffer.data(), 4000);
    const std::string t = view.Get().clockText;
    if (i == 10 || i == 11 || i == 21 || i == 22 || i == 33 || i == 43 || i == 44 || i == 45) {
      shown += std::to_string(i) + ":" + t + ";";
    }
  }
  writer.Close();
  EXPECT_EQ(shown, "10: ;11:RECORDING;21:RECORDING;22: ;33:WAV;43:WAV;44: ;45: ;");
}

TEST_F(AudioFileWriterTest, ALongRecordingGoesOnInNumberedFilesAndAnUnopenedOneIsToldOnce) {
  writer.SetFileSizeLimit(58 + 10000);                     // two buffers and a half a file
  const std::string first = Record(Formats(), Tone(1.0));  // eleven buffers
  const auto name = [&](const char* n) { return (dir / n).string(); };
  EXPECT_EQ(test::ReadFile(first).size(), 58u + 8000);
  EXPECT_EQ(test::ReadFile(name("Kelmo.06_22.05.6.wav")).size(), 58u + 4000);
  EXPECT_FALSE(std::filesystem::exists(name("Kelmo.06_22.05.7.wav")));
  EXPECT_EQ(Probe(name("Kelmo.06_22.05.6.wav")), "pcm_s16le 22050 1");
  EXPECT_TRUE(messages.Texts().empty());

  // A file that cannot be opened is told once for the whole recording.
  Record(Formats(), Tone(1.0), "missing-folder/Kelmo.avi");
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"ERROR abriendo fichero WAV en disco"});
}

// A child records in real time and is killed: the sizes in its file cover all but the last
// second of what reached the disk.
TEST_F(AudioFileWriterTest, ARecorderKilledMidwayLeavesSizesCoveringAllButItsLastSecond) {
  const pid_t child = ::fork();
  if (child == 0) {
    writer.Open((dir / "Kelmo.avi").string(), Formats());
    std::vector<uint8_t> buffer(4000, 1);
    for (;;) {
      writer.Write(buffer.data(), 4000);
      std::this_thread::sleep_for(std::chrono::milliseconds(90));
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2600));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  const std::string bytes = test::ReadFile(dir / "Kelmo.wav");
  ASSERT_GT(bytes.size(), 58u);
  const uint64_t data = bytes.size() - 58;
  EXPECT_LE(Le32(bytes, 54), data);
  EXPECT_GE(Le32(bytes, 54) + 44100 + 4000, data);
  EXPECT_EQ(Le32(bytes, 4), Le32(bytes, 54) + 50);
  EXPECT_EQ(Le32(bytes, 46) * 2, Le32(bytes, 54));  // "fact": 16-bit mono frames
}

}  // namespace
}  // namespace kelmo
