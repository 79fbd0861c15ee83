#pragma once

#include <cstdint>
#include <string>

#include "base/AppState.h"
#include "base/ChannelTables.h"
#include "base/MainWindowView.h"
#include "tuner/Tuner.h"

namespace kelmo {

// Per band, the channel tuned last and the one before it, so that one key goes back and forth
// between the last two. Indexes into the tables; 0 at start, never saved.
struct ChannelMemory {
  int32_t currentTvIndex = 0;
  int32_t previousTvIndex = 0;
  int32_t currentFmIndex = 0;
  int32_t previousFmIndex = 0;
};

// "(frequency)  name" in UTF-8: how the channel line and the channel lists show a channel.
std::string ChannelLineText(const ChannelEntry& entry);

// Tunes channels of the tables by index and shows the tuned one on the main window's channel line.
// User-interface thread only.
class ChannelSelector {
 public:
  ChannelSelector(Tuner& tuner, const ChannelTables& tables, ChannelMemory& memory, AppState& state,
                  MainWindowView& view)
      : tuner(tuner), tables(tables), memory(memory), state(state), view(view) {}

  // An index outside 0 .. count-1 of its table does nothing. Without the card library the memory
  // and the channel line still follow.
  void TuneTvChannel(int32_t index);
  void TuneFmChannel(int32_t index);

  // Tunes the channel before the current one in the current mode; returns the index now current
  // in that mode (unchanged when the previous one is no longer in the table).
  int32_t TuneBackToPreviousChannel();

  // Tunes the current mode's current channel again (the card was restarted), leaving the memory
  // as it is. Nothing when that index is no longer in its table.
  void RetuneCurrent();

  // After a dialog tuned the card itself: when the frequency the tuner is on is a channel of its
  // band's table, that channel becomes the current one (as if chosen) and its index is returned;
  // otherwise the channel line shows the bare frequency and -1 is returned. -1 without a tuning.
  int32_t FollowTuner();

 private:
  Tuner& tuner;
  const ChannelTables& tables;
  ChannelMemory& memory;
  AppState& state;  // a channel change ends the last recording's saved line
  MainWindowView& view;
};

}  // namespace kelmo
