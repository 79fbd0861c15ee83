#include "audio/WmaFormatTable.h"

#include <array>

#include "audio/WaveFormat.h"

namespace kelmo {

namespace {

constexpr std::array<WmaFormatRow, 35> kRows{{
    {0, 8, 1},     //  0: listed for 8 kHz like the others; written at the encoder's floor
    {5, 8, 1},     //  1
    {6, 8, 1},     //  2
    {8, 8, 1},     //  3
    {12, 8, 2},    //  4
    {8, 11, 1},    //  5: 11025 Hz
    {10, 11, 1},   //  6
    {10, 16, 1},   //  7
    {12, 16, 1},   //  8
    {16, 16, 1},   //  9
    {16, 16, 2},   // 10
    {20, 16, 2},   // 11
    {16, 22, 1},   // 12: 22050 Hz
    {20, 22, 1},   // 13
    {20, 22, 2},   // 14
    {22, 22, 2},   // 15
    {32, 22, 2},   // 16
    {20, 32, 1},   // 17
    {32, 32, 1},   // 18
    {22, 32, 2},   // 19
    {32, 32, 2},   // 20
    {36, 32, 2},   // 21
    {40, 32, 2},   // 22
    {44, 32, 2},   // 23
    {48, 32, 2},   // 24
    {64, 32, 2},   // 25
    {32, 44, 1},   // 26: 44100 Hz
    {48, 44, 2},   // 27
    {64, 44, 2},   // 28
    {80, 44, 2},   // 29
    {96, 44, 2},   // 30
    {128, 44, 2},  // 31
    {160, 44, 2},  // 32
    {128, 48, 2},  // 33
    {160, 48, 2},  // 34
}};

}  // namespace

int32_t WmaRowSampleRate(const WmaFormatRow& row) {
  // The three rates that are not whole kilohertz get their exact value back.
  switch (row.khz) {
    case 11:
      return 11025;
    case 22:
      return 22050;
    case 44:
      return 44100;
    default:
      return row.khz * 1000;
  }
}

std::span<const WmaFormatRow> WmaFormatTable() { return kRows; }

std::vector<std::string> WmaRowTexts(uint32_t samplesPerSec) {
  const uint32_t khz = samplesPerSec / 1000;
  std::vector<std::string> texts;
  for (const WmaFormatRow& row : kRows) {
    if (row.khz != khz) continue;
    texts.push_back(std::to_string(row.kbps) + " kbps, " + std::to_string(row.khz) + " KHz, " +
                    (row.channels == 1 ? "Mono" : "Stereo"));
  }
  return texts;
}

uint32_t WmaOptions::CompressionRate() const {
  const auto format = WaveFormatEx::FromBytes(formats.compressionFormat);
  return format ? format->nSamplesPerSec : 0;
}

void WmaOptions::OnOK(int selection) {
  const uint32_t khz = CompressionRate() / 1000;
  int count = 0;
  for (const WmaFormatRow& row : kRows) {
    if (row.khz != khz || count++ != selection) continue;
    formats.wmaBitrate = row.kbps * 1000;
    formats.wmaSampleRate = WmaRowSampleRate(row);
    formats.wmaChannels = row.channels;
    return;
  }
  OnCancel();
}

void WmaOptions::OnCancel() {
  formats.wmaBitrate = 0;
  formats.wmaSampleRate = 0;
  formats.wmaChannels = 0;
}

}  // namespace kelmo
