// WMA V2 recording through the program's writer, against the ffmpeg program encoding the same
// sound to the same stream. Prints:
//   BENCH wav.wmav2.realtime <seconds of sound per second of work> x
//   BENCH wav.wmav2.vs_ffmpeg <ffmpeg's time / ours> ratio
//   BENCH wav.worst_buffer_pct <slowest 4000-byte buffer, % of the sound it holds> %
// Times are CPU time, so a machine busy with other work does not count against the writer.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "audio/WaveFormat.h"
#include "audio/WmaFile.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "platform/Messages.h"

namespace {

// The calling thread's CPU time.
struct CpuClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<CpuClock>;
  static time_point now() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return time_point(std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec));
  }
};
using Clock = CpuClock;

// CPU time of the child processes that have ended, in seconds.
double ChildrenSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr uint32_t kRate = 44100;
constexpr uint16_t kChannels = 2;
constexpr int kSeconds = 120;
constexpr uint32_t kBuffer = 4000;  // the capture's buffer
constexpr int kBitrate = 128000;
constexpr int kRuns = 3;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A radio programme stands in: two tones and some hiss, 16-bit stereo.
std::vector<uint8_t> Sound() {
  std::mt19937 noise(7);
  std::normal_distribution<double> hiss(0.0, 0.03);
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(kSeconds) * kRate * kChannels * 2);
  for (uint32_t i = 0; i < kSeconds * kRate; ++i) {
    const double t = static_cast<double>(i) / kRate;
    for (int ch = 0; ch < kChannels; ++ch) {
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

// Seconds of CPU time one recording of `sound` takes; `worstBuffer` keeps the slowest buffer.
double Record(const std::vector<uint8_t>& sound, const kelmo::AudioFormatSettings& formats,
              const std::filesystem::path& dir, PrintedMessages& messages, double& worstBuffer) {
  kelmo::FfmpegWmaWriterFactory factory;
  const auto start = Clock::now();
  {
    kelmo::WmaFile file(factory, messages);
    file.Open((dir / "Kelmo.avi").string(), formats);
    for (std::size_t at = 0; at + kBuffer <= sound.size(); at += kBuffer) {
      const auto before = Clock::now();
      file.Write(sound.data() + at, kBuffer);
      worstBuffer = std::max(worstBuffer, Seconds(Clock::now() - before));
    }
    file.Flush();
  }
  return Seconds(Clock::now() - start);
}

// Seconds of CPU time the ffmpeg program takes for the same work; negative when it fails.
double Reference(const std::string& command) {
  const double start = ChildrenSeconds();
  if (std::system(command.c_str()) != 0) return -1;
  return ChildrenSeconds() - start;
}

}  // namespace

int main() {
  const auto dir =
      std::filesystem::temp_directory_path() / ("kelmo-bench-wma-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<uint8_t> sound = Sound();

  kelmo::AudioFormatSettings formats;
  kelmo::WaveFormatEx input;
  input.wFormatTag = 1;
  input.nChannels = kChannels;
  input.nSamplesPerSec = kRate;
  input.nBlockAlign = kChannels * 2;
  input.nAvgBytesPerSec = kRate * input.nBlockAlign;
  input.wBitsPerSample = 16;
  formats.inputFormat = input.ToBytes();
  formats.inputFormatSet = 1;
  formats.compressionFormatName = "Windows Media Audio V2";
  formats.wmaOutput = 1;
  formats.wmaBitrate = kBitrate;
  formats.wmaSampleRate = kRate;
  formats.wmaChannels = kChannels;

  const auto raw = dir / "sound.raw";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(sound.data()),
             static_cast<std::streamsize>(sound.size()));
  const std::string command = "ffmpeg -v error -y -f s16le -ar " + std::to_string(kRate) + " -ac " +
                              std::to_string(kChannels) + " -i '" + raw.string() +
                              "' -c:a wmav2 -b:a " + std::to_string(kBitrate) + " '" +
                              (dir / "reference.wma").string() + "'";

  // The best of a few runs each, so a moment of contention does not decide the figure.
  PrintedMessages messages;
  double ours = 1e9, reference = 1e9, worstBuffer = 0;
  for (int run = 0; run < kRuns; ++run) {
    ours = std::min(ours, Record(sound, formats, dir, messages, worstBuffer));
    reference = std::min(reference, Reference(command));
  }
  std::filesystem::remove_all(dir);
  if (messages.failed || reference < 0) {
    std::fprintf(stderr, "bench: the WMA recording or the ffmpeg reference failed\n");
    return 1;
  }

  const double bufferSeconds = static_cast<double>(kBuffer) / input.nAvgBytesPerSec;
  std::printf("BENCH wav.wmav2.realtime %.1f x\n", kSeconds / ours);
  std::printf("BENCH wav.wmav2.vs_ffmpeg %.3f ratio\n", reference / ours);
  std::printf("BENCH wav.worst_buffer_pct %.2f %%\n", 100.0 * worstBuffer / bufferSeconds);
  return 0;
}
