#include "app/ChannelControls.h"

#include "base/ChannelText.h"

namespace kelmo {

namespace {

template <typename Table>
std::vector<std::string> MenuItems(const Table& table) {
  std::vector<std::string> items;
  for (int32_t i = 0; i < table.count; ++i) {
    items.push_back(ChannelDisplayText(table.entries[static_cast<std::size_t>(i)].name));
  }
  return items;
}

}  // namespace

bool ChannelControls::CardPresentOrRefuse() {
  if (context.card.IsLoaded()) return true;
  context.messages.Show(context.card.LibraryName() + " not present.");
  return false;
}

std::vector<std::string> ChannelControls::TvMenuItems() const {
  return MenuItems(context.channels.tv);
}

std::vector<std::string> ChannelControls::FmMenuItems() const {
  return MenuItems(context.channels.fm);
}

void ChannelControls::OnTvChosen(int32_t index) { OnChosen(index, true); }

void ChannelControls::OnFmChosen(int32_t index) { OnChosen(index, false); }

void ChannelControls::OnChosen(int32_t index, bool tv) {
  AppState& s = context.state;
  s.currentChannel = index;
  if (tv) {
    selector.TuneTvChannel(index);
  } else {
    selector.TuneFmChannel(index);
  }
  spin.SetRange(0, (tv ? context.channels.tv.count : context.channels.fm.count) - 1);
  spin.SetPos(s.currentChannel);
  s.spinLastDirection = 0;
}

int ChannelControls::OnSpinDeltaPos(int iDelta) {
  AppState& s = context.state;
  // The control reports before it moves, and moves one step ahead of the channel in the direction
  // of travel; on a change of direction the position is first brought back past the channel.
  int p = static_cast<int16_t>(spin.Pos());
  const int lower = spin.Lower();
  const int upper = spin.Upper();
  if (iDelta == -1) {
    if (s.spinLastDirection == 1) {
      p = p == lower + 1 ? upper : p - 2;
      spin.SetPos(p);
    }
    s.spinLastDirection = -1;
  } else if (iDelta == 1) {
    if (s.spinLastDirection == -1) {
      p = p == upper - 1 ? lower : p + 2;
      spin.SetPos(p);
    }
    s.spinLastDirection = 1;
  }
  if (p > upper) {
    p -= upper + 1;
    spin.SetPos(p);
  }
  if (p < lower) {
    p += upper + 1;
    spin.SetPos(p);
  }
  s.currentChannel = p;
  TuneCurrentChannel();
  return 0;
}

bool ChannelControls::HandleKeyChar(char32_t ch) {
  AppState& s = context.state;
  if (ch >= U'0' && ch <= U'9') {
    // '1' is the first channel, '0' the tenth.
    s.currentChannel = ch == U'0' ? 9 : static_cast<int32_t>(ch - U'1');
    TuneCurrentChannel();
    return true;
  }
  if (ch == U'+') {
    s.currentChannel = s.currentChannel + 1 >= CurrentCount() ? 0 : s.currentChannel + 1;
  } else if (ch == U'-') {
    s.currentChannel = s.currentChannel - 1 < 0 ? CurrentCount() - 1 : s.currentChannel - 1;
  } else if (ch == U'.') {
    s.currentChannel = selector.TuneBackToPreviousChannel();
    spin.SetPos(s.currentChannel);
    return true;
  } else {
    return false;
  }
  TuneCurrentChannel();
  spin.SetPos(s.currentChannel);
  return true;
}

void ChannelControls::OnMute() {
  if (!context.card.IsLoaded()) return;
  AppState& s = context.state;
  s.muted = !s.muted;
  if (s.muted) {
    context.card.SelectAudioOff();
  } else if (s.tvMode != 0) {
    context.card.SelectAudioTv();
  } else {
    context.card.SelectAudioFm();
  }
}

void ChannelControls::OnVol() {
  if (context.shell.OpenMixer()) return;
  // No desktop mixer is sure to exist here, so say so instead of doing nothing.
  context.messages.Show(
      "No sound mixer found. Install pavucontrol (or the GNOME sound settings, or alsamixer) to "
      "change the volume.");
}

void ChannelControls::TuneSavedChannel() {
  if (CurrentCount() > 0) TuneCurrentChannel();
  SetSpinForCurrentMode();
}

void ChannelControls::FollowTuner(bool restarted) {
  if (restarted) selector.RetuneCurrent();
  const int32_t index = selector.FollowTuner();
  if (index >= 0) context.state.currentChannel = index;
  SetSpinForCurrentMode();
}

void ChannelControls::TuneCurrentChannel() {
  if (context.state.tvMode != 0) {
    selector.TuneTvChannel(context.state.currentChannel);
  } else {
    selector.TuneFmChannel(context.state.currentChannel);
  }
}

int32_t ChannelControls::CurrentCount() const {
  return context.state.tvMode != 0 ? context.channels.tv.count : context.channels.fm.count;
}

void ChannelControls::SetSpinForCurrentMode() {
  spin.SetRange(0, CurrentCount() - 1);
  spin.SetPos(context.state.currentChannel);
}

}  // namespace kelmo
