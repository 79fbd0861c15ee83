#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioFormatSettings.h"

namespace kelmo {

// One WMA output choice: kilobits per second, kilohertz (the rate / 1000, rounded down) and
// channels.
struct WmaFormatRow {
  uint8_t kbps;
  uint8_t khz;
  uint8_t channels;
};

// The 35 choices of the WMA output options, in the order they are listed.
std::span<const WmaFormatRow> WmaFormatTable();

// The sample rate in Hz a row stands for: 11, 22 and 44 kHz are 11025, 22050 and 44100 Hz.
int32_t WmaRowSampleRate(const WmaFormatRow& row);

// The rows offered for a compression format of `samplesPerSec`: those whose kHz is its rate in
// whole kilohertz, as the list shows them ("32 kbps, 22 KHz, Stereo"), in table order.
std::vector<std::string> WmaRowTexts(uint32_t samplesPerSec);

// The WMA options dialog: what it lists when it opens, and what OK and Cancel leave in the
// settings. The rate is the compression format's.
class WmaOptions {
 public:
  explicit WmaOptions(AudioFormatSettings& formats) : formats(formats) {}

  // The rows to list; the last is the one selected (none when the list is empty).
  std::vector<std::string> Rows() const { return WmaRowTexts(CompressionRate()); }

  // OK with `selection` the index in the list (-1: nothing selected): the row's bit rate, sample
  // rate and channels, or zeros when no row is selected.
  void OnOK(int selection);

  // Cancel: the three settings become 0; wmaOutput stays as it was.
  void OnCancel();

 private:
  uint32_t CompressionRate() const;

  AudioFormatSettings& formats;
};

}  // namespace kelmo
