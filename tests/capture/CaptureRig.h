#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/sim/SimWaveInput.h"
#include "capture/CaptureEngine.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/linux/SystemClock.h"
#include "support/MediaProbe.h"
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

}  // namespace kelmo::test
