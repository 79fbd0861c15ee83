#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelmo {

// Longest name or frequency text a channel keeps, in bytes.
inline constexpr std::size_t kChannelTextMax = 79;

// One channel: both fields are text. The name keeps the bytes the user typed (UTF-8, or
// Windows-1252 from files of the Windows version); the frequency is MHz with two decimals
// ("855.25").
struct ChannelEntry {
  std::string name;
  std::string frequency;
};

// A channel list: entries 0 .. count-1 are valid, in the user's order. A channel is known by its
// index; entries at or beyond count are never read.
template <std::size_t Capacity>
struct ChannelTable {
  static constexpr int32_t kCapacity = static_cast<int32_t>(Capacity);
  std::array<ChannelEntry, Capacity> entries;
  int32_t count = 0;

  bool IsValidIndex(int32_t index) const { return index >= 0 && index < count; }
};

using TvChannelTable = ChannelTable<100>;
using FmChannelTable = ChannelTable<50>;

// Both lists, as the main window, the tuning and the schedule read them.
struct ChannelTables {
  TvChannelTable tv;
  FmChannelTable fm;
};

}  // namespace kelmo
