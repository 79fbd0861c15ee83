#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kelmo::test {

// What ffprobe reads of a file's first audio stream; empty fields when it reads nothing.
struct ProbedStream {
  std::string codec;
  int sampleRate = 0;
  int channels = 0;
  int64_t bitRate = 0;
};
ProbedStream ProbeAudio(const std::filesystem::path& file);

// The file's sound decoded by ffmpeg to 16-bit mono at `rate`; empty when it does not decode.
std::vector<int16_t> DecodeMono(const std::filesystem::path& file, int rate);

// Upward crossings per second of `samples` at `rate`: the frequency of a loud pure tone.
double ToneFrequency(const std::vector<int16_t>& samples, int rate);

}  // namespace kelmo::test
