#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/sim/SimWaveInput.h"
#include "capture/CaptureEngine.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/linux/SystemClock.h"
#include "support/TempDir.h"

namespace kelmo::test {

// Driver dialogs that answer as a test tells them.
class AnsweringDialogs final : public CaptureDialogs {
 public:
  // Chooses `input` when set, as the user would in the list, and keeps what the window answered.
  bool VideoSourceDialog(VideoSource&, const InputSelector& selectInput) override {
    ++shown;
    if (input) inputResult = selectInput(*input);
    return true;
  }
  std::optional<VideoMode> VideoFormatDialog(const std::vector<VideoMode>&,
                                             const VideoMode&) override {
    ++shown;
    return mode;
  }
  std::optional<VideoCompressionChoice> CompressionDialog(const VideoCompressionChoice&) override {
    ++shown;
    return compression;
  }

  int shown = 0;
  std::optional<VideoMode> mode;
  std::optional<VideoCompressionChoice> compression;
  std::optional<int> input;
  DeviceError inputResult;
};

// The capture window over the test pattern, the FFmpeg writer and the simulated sound card hearing
// `station` (or `input`), in real time, with its status texts and errors recorded.
struct CaptureRig {
  explicit CaptureRig(TestPatternSwitches switches = {}, KelmoSimCardState station = TvStation(),
                      WaveInput* input = nullptr)
      : catalog(clock, Answer(station), switches),
        sound(clock, Answer(station)),
        window({catalog, writers, clock, input ? input : &sound, nullptr, &dialogs}) {
    window.SetCallbackStatus([this](int id, const std::string& text) {
      std::lock_guard lock(mutex);
      statuses.emplace_back(id, text);
      return 1;
    });
    window.SetCallbackError([this](const std::string& text) {
      std::lock_guard lock(mutex);
      errors.push_back(text);
    });
  }

  static KelmoSimCardState TvStation() {
    KelmoSimCardState s{};
    s.band = KELMO_SIM_BAND_TV;
    s.stationFound = 1;
    s.audioSelector = 3;
    std::snprintf(s.stationName, sizeof s.stationName, "Kelmo Uno");
    return s;
  }
  static TestPatternSource::CardQuery Answer(KelmoSimCardState station) {
    return [station](KelmoSimCardState& s) {
      s = station;
      return true;
    };
  }

  // Records about `ms` milliseconds at `frameRate` into `file`, then stops.
  void Record(const std::string& file, int ms, int frameRate = 25, bool sound = true) {
    CaptureParms parms = window.GetSequenceSetup();
    parms.dwRequestMicroSecPerFrame = 1000000 / frameRate;
    parms.fCaptureAudio = sound;
    ASSERT_TRUE(window.SetSequenceSetup(parms));
    window.FileSetCaptureFile(file);
    window.Sequence();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    window.Stop();
  }

  std::vector<std::string> Errors() {
    std::lock_guard lock(mutex);
    return errors;
  }
  std::vector<std::pair<int, std::string>> Statuses() {
    std::lock_guard lock(mutex);
    return statuses;
  }

  SystemClock clock;
  TestPatternCatalog catalog;
  FfmpegAviWriterFactory writers;
  SimWaveInput sound;
  AnsweringDialogs dialogs;
  CaptureEngine window;
  std::mutex mutex;
  std::vector<std::pair<int, std::string>> statuses;
  std::vector<std::string> errors;
};

// What ffprobe says of each stream of a file: key=value pairs, video first as written.
using ProbedStream = std::map<std::string, std::string>;

// The file's first picture decoded by ffmpeg to 8-bit grey, rows top to bottom.
inline std::vector<uint8_t> DecodeFirstPictureGrey(const std::string& file) {
  std::vector<uint8_t> grey;
  FILE* pipe = ::popen(
      ("ffmpeg -v quiet -i '" + file + "' -frames:v 1 -f rawvideo -pix_fmt gray -").c_str(), "r");
  if (pipe == nullptr) return grey;
  uint8_t buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    grey.insert(grey.end(), buffer, buffer + n);
  ::pclose(pipe);
  return grey;
}

inline std::vector<ProbedStream> Probe(const std::string& file) {
  const std::string command =
      "ffprobe -v error -count_packets -show_entries "
      "stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate,channels,"
      "bits_per_sample,sample_fmt,duration,nb_frames,nb_read_packets -of compact=p=0 '" +
      file + "' 2>&1";
  std::vector<ProbedStream> streams;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return streams;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    ProbedStream& stream = streams.emplace_back();
    std::istringstream fields(std::string(line, std::strcspn(line, "\n")));
    for (std::string pair; std::getline(fields, pair, '|');) {
      const std::size_t eq = pair.find('=');
      if (eq != std::string::npos) stream[pair.substr(0, eq)] = pair.substr(eq + 1);
    }
  }
  ::pclose(pipe);
  return streams;
}

}  // namespace kelmo::test
