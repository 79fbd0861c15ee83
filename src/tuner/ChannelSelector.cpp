#include "tuner/ChannelSelector.h"

#include <algorithm>
#include <cmath>

#include "base/ChannelText.h"
#include "base/Frequency.h"

namespace kelmo {

namespace {

// The tuner takes single precision. A damaged file's number beyond its range must not overflow
// the narrowing; no real frequency comes near the limit.
float FrequencyMhz(const ChannelEntry& entry) {
  return static_cast<float>(std::clamp(ParseFrequency(entry.frequency), -1e9, 1e9));
}

// The first entry of `table` stored with the frequency `mhz`, or -1. The texts have two decimals;
// the tuner holds them in single precision.
template <typename Table>
int32_t FindChannel(const Table& table, float mhz) {
  for (int32_t i = 0; i < table.count; ++i) {
    if (std::abs(FrequencyMhz(table.entries[static_cast<std::size_t>(i)]) - mhz) < 0.005f) return i;
  }
  return -1;
}

}  // namespace

std::string ChannelLineText(const ChannelEntry& entry) {
  // The frequency exactly as stored, not reformatted: "87.50" stays "87.50". Names from files of
  // the Windows version may be Windows-1252.
  return "(" + entry.frequency + ")  " + ChannelDisplayText(entry.name);
}

void ChannelSelector::TuneTvChannel(int32_t index) {
  if (!tables.tv.IsValidIndex(index)) return;
  state.savedLine.Release();
  memory.previousTvIndex = memory.currentTvIndex;
  memory.currentTvIndex = index;
  const ChannelEntry& entry = tables.tv.entries[static_cast<std::size_t>(index)];
  tuner.TuneTv(FrequencyMhz(entry));
  view.SetChannelLine(ChannelLineText(entry));
}

void ChannelSelector::TuneFmChannel(int32_t index) {
  if (!tables.fm.IsValidIndex(index)) return;
  state.savedLine.Release();
  memory.previousFmIndex = memory.currentFmIndex;
  memory.currentFmIndex = index;
  const ChannelEntry& entry = tables.fm.entries[static_cast<std::size_t>(index)];
  tuner.TuneFm(FrequencyMhz(entry));
  view.SetChannelLine(ChannelLineText(entry));
}

int32_t ChannelSelector::TuneBackToPreviousChannel() {
  if (state.tvMode != 0) {
    TuneTvChannel(memory.previousTvIndex);
    return memory.currentTvIndex;
  }
  TuneFmChannel(memory.previousFmIndex);
  return memory.currentFmIndex;
}

void ChannelSelector::RetuneCurrent() {
  if (state.tvMode != 0) {
    if (!tables.tv.IsValidIndex(memory.currentTvIndex)) return;
    const ChannelEntry& entry = tables.tv.entries[static_cast<std::size_t>(memory.currentTvIndex)];
    tuner.TuneTv(FrequencyMhz(entry));
    view.SetChannelLine(ChannelLineText(entry));
    return;
  }
  if (!tables.fm.IsValidIndex(memory.currentFmIndex)) return;
  const ChannelEntry& entry = tables.fm.entries[static_cast<std::size_t>(memory.currentFmIndex)];
  tuner.TuneFm(FrequencyMhz(entry));
  view.SetChannelLine(ChannelLineText(entry));
}

int32_t ChannelSelector::FollowTuner() {
  const float mhz = tuner.TunedMhz();
  if (mhz <= 0) return -1;
  const bool tv = tuner.TunedTv();
  const int32_t index = tv ? FindChannel(tables.tv, mhz) : FindChannel(tables.fm, mhz);
  if (index < 0) {
    view.SetChannelLine("(" + FormatFrequency(mhz) + ")");
    return -1;
  }
  int32_t& current = tv ? memory.currentTvIndex : memory.currentFmIndex;
  int32_t& previous = tv ? memory.previousTvIndex : memory.previousFmIndex;
  if (index != current) {
    previous = current;
    current = index;
  }
  const ChannelEntry& entry = tv ? tables.tv.entries[static_cast<std::size_t>(index)]
                                 : tables.fm.entries[static_cast<std::size_t>(index)];
  view.SetChannelLine(ChannelLineText(entry));
  return index;
}

}  // namespace kelmo
