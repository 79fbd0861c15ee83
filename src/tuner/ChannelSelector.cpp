#include "tuner/ChannelSelector.h"

#include <algorithm>

#include "channels/ChannelText.h"
#include "channels/Frequency.h"

namespace kelmo {

namespace {

// The tuner takes single precision. A damaged file's number beyond its range must not overflow
// the narrowing; no real frequency comes near the limit.
float FrequencyMhz(const ChannelEntry& entry) {
  return static_cast<float>(std::clamp(ParseFrequency(entry.frequency), -1e9, 1e9));
}

}  // namespace

std::string ChannelLineText(const ChannelEntry& entry) {
  // The frequency exactly as stored, not reformatted: "87.50" stays "87.50". Names from files of
  // the Windows version may be Windows-1252.
  return "(" + entry.frequency + ")  " + ChannelDisplayText(entry.name);
}

void ChannelSelector::TuneTvChannel(int32_t index) {
  if (!tables.tv.IsValidIndex(index)) return;
  memory.previousTvIndex = memory.currentTvIndex;
  memory.currentTvIndex = index;
  const ChannelEntry& entry = tables.tv.entries[static_cast<std::size_t>(index)];
  tuner.TuneTv(FrequencyMhz(entry));
  view.SetChannelLine(ChannelLineText(entry));
}

void ChannelSelector::TuneFmChannel(int32_t index) {
  if (!tables.fm.IsValidIndex(index)) return;
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

}  // namespace kelmo
