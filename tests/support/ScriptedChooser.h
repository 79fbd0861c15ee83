#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "audio/AudioCodecManager.h"
#include "audio/WaveFormat.h"

namespace kelmo::test {

// A chooser's answer: the 22050 Hz mono PCM format with this tag, rate and channel count.
inline WaveFormatEx FormatOf(uint16_t tag, uint32_t rate, uint16_t channels) {
  WaveFormatEx f = DefaultPcmFormat();
  f.wFormatTag = tag;
  f.nSamplesPerSec = rate;
  f.nChannels = channels;
  return f;
}

// A format chooser that answers from a queue, as a person would: a format and its tag name, or a
// result code (Cancel, a failure). It remembers every question. It converts nothing.
class ScriptedChooser final : public AudioCodecManager {
 public:
  struct Answer {
    int result;
    WaveFormatEx format;
    std::string name;
  };

  void Chosen(WaveFormatEx format, std::string name) {
    answers.push_back({kAcmOk, std::move(format), std::move(name)});
  }
  void Answered(int result) { answers.push_back({result, {}, {}}); }

  int ChooseFormat(AcmFormatChoice& choice) override {
    asked.push_back(choice);
    if (answers.empty()) return kAcmErrCanceled;
    const Answer a = answers.front();
    answers.pop_front();
    if (a.result != kAcmOk) return a.result;
    const auto bytes = a.format.ToBytes();
    if (bytes.size() > choice.format.size()) return kAcmErrInvalid;
    std::copy(bytes.begin(), bytes.end(), choice.format.begin());
    choice.formatTagName = a.name;
    return kAcmOk;
  }
  int StreamOpen(const std::vector<uint8_t>&, const std::vector<uint8_t>&,
                 std::unique_ptr<AcmStream>&) override {
    return kAcmErrNotPossible;
  }

  std::deque<Answer> answers;
  std::vector<AcmFormatChoice> asked;
};

}  // namespace kelmo::test
