#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "audio/WaveFormat.h"

namespace kelmo::test {

// What ffprobe says of one stream of a file: codec_type, codec_name, width, height, r_frame_rate,
// sample_rate, channels, bit_rate, duration, nb_frames, nb_read_packets as key=value pairs.
using ProbedStream = std::map<std::string, std::string>;
// Every stream of the file, in the file's order (video first as the capture writes them).
std::vector<ProbedStream> Probe(const std::filesystem::path& file);

// What ffprobe reads of a file's first audio stream; empty fields when it reads nothing.
struct AudioStream {
  std::string codec;
  int sampleRate = 0;
  int channels = 0;
  int64_t bitRate = 0;
};
AudioStream ProbeAudio(const std::filesystem::path& file);

// The file's first picture decoded by ffmpeg to 8-bit grey, rows top to bottom.
std::vector<uint8_t> DecodeFirstPictureGrey(const std::filesystem::path& file);

// The file's sound decoded by ffmpeg to 16-bit mono at `rate`; empty when it does not decode.
std::vector<int16_t> DecodeMono(const std::filesystem::path& file, int rate);

// The largest sample of any channel of the file's sound, decoded by ffmpeg to 16 bits; 0 when it
// does not decode.
int DecodedPeak(const std::filesystem::path& file);

// What `sox --i -t` says of the file's type: "wav\n" when sox reads it.
std::string SoxType(const std::filesystem::path& file);

// `seconds` of a half-scale tone of `hz` in a plain PCM `format`, as the capture delivers it.
std::vector<uint8_t> ToneBytes(const WaveFormatEx& format, double seconds, double hz);

// The little-endian 32-bit value at byte `at` of a file's bytes.
uint32_t Le32(std::string_view bytes, std::size_t at);

// Upward crossings per second of `samples` at `rate`: the frequency of a loud pure tone.
double ToneFrequency(const std::vector<int16_t>& samples, int rate);

}  // namespace kelmo::test
