#include "support/MediaProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kelmo::test {

namespace {

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

std::string Quoted(const std::filesystem::path& file) {
  std::string q = "'";
  for (char c : file.string()) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

std::vector<ProbedStream> Probe(const std::filesystem::path& file) {
  std::istringstream lines(
      Run("ffprobe -v error -count_packets -show_entries "
          "stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate,channels,bit_rate,"
          "duration,nb_frames,nb_read_packets -of compact=p=0 " +
          Quoted(file) + " 2>&1"));
  std::vector<ProbedStream> streams;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    ProbedStream& stream = streams.emplace_back();
    for (std::string pair; std::getline(fields, pair, '|');) {
      const std::size_t eq = pair.find('=');
      if (eq != std::string::npos) stream[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
  }
  return streams;
}

AudioStream ProbeAudio(const std::filesystem::path& file) {
  for (ProbedStream& s : Probe(file)) {
    if (s["codec_type"] != "audio") continue;
    return {s["codec_name"], std::atoi(s["sample_rate"].c_str()),
            std::atoi(s["channels"].c_str()), std::atoll(s["bit_rate"].c_str())};
  }
  return {};
}

std::vector<uint8_t> DecodeFirstPictureGrey(const std::filesystem::path& file) {
  const std::string raw =
      Run("ffmpeg -v quiet -i " + Quoted(file) + " -frames:v 1 -f rawvideo -pix_fmt gray -");
  return {raw.begin(), raw.end()};
}

// The file's sound decoded by ffmpeg to 16-bit samples, with `options` (channels, rate).
std::vector<int16_t> Decode16(const std::filesystem::path& file, const std::string& options) {
  const std::string raw = Run("ffmpeg -v quiet -i " + Quoted(file) + " -f s16le" + options + " -");
  std::vector<int16_t> samples(raw.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(raw[2 * i]) |
                                      (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
  return samples;
}

std::vector<int16_t> DecodeMono(const std::filesystem::path& file, int rate) {
  return Decode16(file, " -ac 1 -ar " + std::to_string(rate));
}

int DecodedPeak(const std::filesystem::path& file) {
  int peak = 0;
  for (int16_t s : Decode16(file, "")) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

std::string SoxType(const std::filesystem::path& file) {
  return Run("sox --i -t " + Quoted(file) + " 2>&1");
}

std::vector<uint8_t> ToneBytes(const WaveFormatEx& format, double seconds, double hz) {
  const auto frames = static_cast<std::size_t>(seconds * format.nSamplesPerSec);
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2 * M_PI * hz * static_cast<double>(i) / format.nSamplesPerSec);
    for (int ch = 0; ch < format.nChannels; ++ch) {
      if (format.wBitsPerSample == 8) {
        bytes.push_back(static_cast<uint8_t>(128 + std::lround(v * 127)));
      } else {
        const auto s = static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767)));
        bytes.push_back(static_cast<uint8_t>(s));
        bytes.push_back(static_cast<uint8_t>(s >> 8));
      }
    }
  }
  return bytes;
}

uint32_t Le32(std::string_view bytes, std::size_t at) {
  uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  return v;
}

double ToneFrequency(const std::vector<int16_t>& samples, int rate) {
  if (samples.empty()) return 0;
  // With hysteresis, so the codec's quiet noise at the edges does not count.
  constexpr int kThreshold = 1000;
  int crossings = 0;
  bool below = false;
  for (int16_t s : samples) {
    if (s < -kThreshold) below = true;
    if (below && s > kThreshold) {
      ++crossings;
      below = false;
    }
  }
  return crossings * static_cast<double>(rate) / static_cast<double>(samples.size());
}

}  // namespace kelmo::test
