#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/KelmoContext.h"
#include "base/MainWindowView.h"
#include "base/SpinControl.h"
#include "tuner/ChannelSelector.h"

namespace kelmo {

// The logic behind the main window's channel controls: the TV and FM buttons with their channel
// pop-ups, the channel spin, the channel keys, Mute and Vol., and the start-up steps that tune the
// saved channel. The window builds the menus and widgets and calls these. User-interface thread.
class ChannelControls {
 public:
  ChannelControls(KelmoContext& context, MainWindowView& view, SpinControl& spin)
      : context(context),
        spin(spin),
        selector(context.tuner, context.channels, context.channelMemory, context.state, view) {}

  // The TV and FM buttons ask this first: false, after telling the user, when the card library is
  // absent; then no pop-up is shown.
  bool CardPresentOrRefuse();

  // The pop-ups' items, in table order: item i is channel i. Empty for an empty table.
  std::vector<std::string> TvMenuItems() const;
  std::vector<std::string> FmMenuItems() const;

  // A pop-up choice (nothing to call when the pop-up closed without one): tunes it and puts the
  // spin on it, over the range of its table.
  void OnTvChosen(int32_t index);
  void OnFmChosen(int32_t index);

  // A spin click, reported before the control moves itself by iDelta (wrapping within its range).
  // Returns 0: the control then moves.
  int OnSpinDeltaPos(int iDelta);

  // A character typed in the active main window: digits, '+', '-' and '.' change channels. Returns
  // whether the character was used.
  bool HandleKeyChar(char32_t ch);

  // Flips the card's sound off and back on (to the current mode's source); nothing without the
  // card library.
  void OnMute();

  // Opens the desktop's sound mixer, or tells the user that none is installed.
  void OnVol();

  // Start-up, after the settings are read: tunes the saved channel when its table is not empty,
  // then sets the spin's range and position for the current mode.
  void TuneSavedChannel();

  // After a dialog that may have tuned the card or changed the lists (a channel dialog, a search,
  // Choose Driver): the channel line names what the card is tuned to, the current channel follows
  // it when it is one of the list's, and the spin's range follows the list. `restarted`: the card
  // was started again and is tuned to the current channel anew.
  void FollowTuner(bool restarted);

 private:
  void OnChosen(int32_t index, bool tv);
  void TuneCurrentChannel();
  int32_t CurrentCount() const;
  void SetSpinForCurrentMode();

  KelmoContext& context;
  SpinControl& spin;
  ChannelSelector selector;
};

}  // namespace kelmo
