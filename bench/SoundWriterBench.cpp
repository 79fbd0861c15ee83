// Radio recordings through the program's sound file writer, codec by codec, against the ffmpeg
// program doing the same conversion from a raw file in the same run. Prints, for each codec:
//   BENCH wav.<codec>.realtime <seconds of sound per second of work> x
//   BENCH wav.<codec>.vs_ffmpeg <ffmpeg's time / ours> ratio
// and once, over every codec:
//   BENCH wav.worst_buffer_pct <slowest 4000-byte buffer, % of the sound it holds> %
// Times are CPU time (ours: this process; ffmpeg's: the child's), so a machine busy with other work
// does not count against either side. Codec names as arguments run only those;
// KELMO_BENCH_SOUND_SECONDS sets the length of the WAV
// recordings (600 by default); the WMA recording is a fifth of it at 44100 Hz stereo.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "audio/AcmFormats.h"
#include "audio/AudioFileWriter.h"
#include "audio/WaveFormat.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "base/MainWindowView.h"
#include "platform/Messages.h"

namespace {

constexpr uint32_t kBuffer = 4000;  // the capture engine's buffer
constexpr int kRuns = 3;

int SoundSeconds() {
  const char* text = std::getenv("KELMO_BENCH_SOUND_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 600;
  return seconds > 0 ? seconds : 600;
}

kelmo::WaveFormatEx Pcm(uint32_t rate, uint16_t channels) {
  return *kelmo::DescribeAcmFormat({kelmo::kTagPcm, rate, channels, 16, 0});
}

// A radio programme stands in: two tones and some hiss, 16-bit.
std::vector<uint8_t> Sound(uint32_t rate, uint16_t channels, int seconds) {
  std::mt19937 noise(7);
  std::normal_distribution<double> hiss(0.0, 0.03);
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(seconds) * rate * channels * 2);
  for (uint32_t i = 0; i < static_cast<uint32_t>(seconds) * rate; ++i) {
    const double t = static_cast<double>(i) / rate;
    for (int ch = 0; ch < channels; ++ch) {
      const double v = 0.3 * std::sin(2 * M_PI * (440.0 + 110 * ch) * t) +
                       0.2 * std::sin(2 * M_PI * 3000.0 * t) + hiss(noise);
      const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
      bytes.push_back(static_cast<uint8_t>(s));
      bytes.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  return bytes;
}

class PrintedMessages final : public kelmo::Messages {
 public:
  using Messages::Show;
  kelmo::MessageAnswer Show(const kelmo::Message& message) override {
    std::fprintf(stderr, "bench: %s\n", message.text.c_str());
    failed = true;
    return kelmo::MessageAnswer::Ok;
  }
  bool failed = false;
};

// The writer blinks its indicator and shows its health here; nobody looks.
class UnseenView final : public kelmo::MainWindowView {
 public:
  void SetStatusLine(const std::string&) override {}
  void SetClockText(const std::string&) override {}
  void SetOverlayText(const std::string&) override {}
  void SetChannelLine(const std::string&) override {}
  void SetLevelText(const std::string&) override {}
  void SetLevelMeter(int) override {}
  void SetRecEnabled(bool) override {}
  void SetStopEnabled(bool) override {}
  void FocusRec() override {}
  void FocusStop() override {}
  void ExitAndShutdown() override {}
};

struct Case {
  const char* name;
  kelmo::AudioFormatSettings formats;
  std::string ffmpegCodec;  // with its options
  std::string referenceFile;
  int seconds = 0;
};

Case WavCase(const char* name, const kelmo::WaveFormatEx& input, const kelmo::WaveFormatEx& output,
             std::string ffmpegCodec, int seconds) {
  Case c{name, {}, std::move(ffmpegCodec), "reference.wav", seconds};
  c.formats.inputFormat = input.ToBytes();
  c.formats.inputFormatSet = 1;
  c.formats.compressionFormat = output.ToBytes();
  c.formats.compressionFormatSet = 1;
  return c;
}

std::vector<Case> Cases(int seconds) {
  using namespace kelmo;
  const WaveFormatEx radio = Pcm(22050, 1);
  const WaveFormatEx phone = Pcm(8000, 1);
  const auto ima = *DescribeAcmFormat({kTagImaAdpcm, 22050, 1, 4, 0});
  const auto ms = *DescribeAcmFormat({kTagMsAdpcm, 22050, 1, 4, 0});
  const auto block = [](const WaveFormatEx& f) { return std::to_string(f.nBlockAlign); };
  std::vector<Case> cases{
      WavCase("pcm", radio, radio, "pcm_s16le", seconds),
      WavCase("ima_adpcm", radio, ima, "adpcm_ima_wav -block_size " + block(ima), seconds),
      WavCase("ms_adpcm", radio, ms, "adpcm_ms -block_size " + block(ms), seconds),
      WavCase("alaw", radio, *DescribeAcmFormat({kTagALaw, 22050, 1, 8, 0}), "pcm_alaw", seconds),
      WavCase("mulaw", radio, *DescribeAcmFormat({kTagMuLaw, 22050, 1, 8, 0}), "pcm_mulaw",
              seconds),
      WavCase("gsm", phone, *DescribeAcmFormat({kTagGsm610, 8000, 1, 0, 0}), "libgsm_ms", seconds),
      WavCase("mp3", radio, *DescribeAcmFormat({kTagMpegLayer3, 22050, 1, 0, 64000}),
              "libmp3lame -b:a 64000", seconds),
  };
  // WMA V2 goes through the same writer, which hands it to the WMA writer.
  Case wma{"wmav2", {}, "wmav2 -b:a 128000", "reference.wma", std::max(1, seconds / 5)};
  wma.formats.inputFormat = Pcm(44100, 2).ToBytes();
  wma.formats.inputFormatSet = 1;
  wma.formats.compressionFormatName = "Windows Media Audio V2";
  wma.formats.wmaOutput = 1;
  wma.formats.wmaBitrate = 128000;
  wma.formats.wmaSampleRate = 44100;
  wma.formats.wmaChannels = 2;
  cases.push_back(std::move(wma));
  return cases;
}

// Seconds of CPU time one recording of `sound` takes; `worstBuffer` keeps the slowest buffer.
double Record(const std::vector<uint8_t>& sound, const kelmo::AudioFormatSettings& formats,
              const std::filesystem::path& dir, PrintedMessages& messages, double& worstBuffer) {
  kelmo::FfmpegCodecManager codecs;
  kelmo::FfmpegWmaWriterFactory wma;
  UnseenView view;
  const double start = kelmo::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  {
    kelmo::AudioFileWriter writer(codecs, wma, messages, view);
    // A recording never replaces a file: the last run's goes first.
    for (const char* name : {"Kelmo.wav", "Kelmo.wma"}) std::filesystem::remove(dir / name);
    writer.Open((dir / "Kelmo.avi").string(), formats);
    for (std::size_t at = 0; at + kBuffer <= sound.size(); at += kBuffer) {
      const double before = kelmo::bench::CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
      writer.Write(sound.data() + at, kBuffer);
      worstBuffer =
          std::max(worstBuffer, kelmo::bench::CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - before);
    }
    writer.Close();
  }
  return kelmo::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - start;
}

}  // namespace

int main(int argc, char** argv) {
  // The benchmark's own sound arrays are tens of megabytes. Once the first is freed, glibc would
  // put the next ones in the heap, and a later free by the writer would hand that memory back to
  // the system inside one buffer's time. The program holds no such arrays, so they are kept in
  // their own mappings.
  ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
  // Codec names as arguments run only those.
  const std::vector<std::string> only(argv + 1, argv + argc);
  const auto dir =
      std::filesystem::temp_directory_path() / ("kelmo-bench-sound-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  double worstBufferPct = 0;
  int status = 0;
  for (const Case& c : Cases(SoundSeconds())) {
    if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end()) continue;
    const auto input = *kelmo::WaveFormatEx::FromBytes(c.formats.inputFormat);
    const std::vector<uint8_t> sound = Sound(input.nSamplesPerSec, input.nChannels, c.seconds);
    const auto raw = dir / "sound.raw";
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(sound.data()),
               static_cast<std::streamsize>(sound.size()));
    const std::string command =
        "ffmpeg -nostdin -v error -y -f s16le -ar " + std::to_string(input.nSamplesPerSec) +
        " -ac " + std::to_string(input.nChannels) + " -i '" + raw.string() + "' -c:a " +
        c.ffmpegCodec + " '" + (dir / c.referenceFile).string() + "'";

    // The best of a few runs each, so a moment of contention does not decide the figure; the
    // slowest buffer too is taken from the run where it was least slow.
    PrintedMessages messages;
    double ours = 1e9, reference = 1e9, worstBuffer = 1e9;
    for (int run = 0; run < kRuns && !messages.failed; ++run) {
      double runWorst = 0;
      ours = std::min(ours, Record(sound, c.formats, dir, messages, runWorst));
      worstBuffer = std::min(worstBuffer, runWorst);
      reference = std::min(reference, kelmo::bench::CommandCpuSeconds(command));
    }
    if (messages.failed || reference < 0) {
      std::fprintf(stderr, "bench: the %s recording or its ffmpeg reference failed\n", c.name);
      status = 1;
      continue;
    }
    const double bufferSeconds = static_cast<double>(kBuffer) / input.nAvgBytesPerSec;
    const double worstPct = 100.0 * worstBuffer / bufferSeconds;
    worstBufferPct = std::max(worstBufferPct, worstPct);
    std::fprintf(stderr, "bench: %s: slowest buffer %.2f %%\n", c.name, worstPct);
    std::printf("BENCH wav.%s.realtime %.1f x\n", c.name, c.seconds / ours);
    std::printf("BENCH wav.%s.vs_ffmpeg %.3f ratio\n", c.name, reference / ours);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(dir);
  std::printf("BENCH wav.worst_buffer_pct %.2f %%\n", worstBufferPct);
  return status;
}
