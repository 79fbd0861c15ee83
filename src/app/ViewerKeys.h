#pragma once

#include <string>
#include <vector>

namespace kelmo {

// The commands of the View menu: the keys a TV viewer expects, beside the channel keys typed in
// the main window (digits, '+', '-', '.').
enum class ViewerCommand {
  FullScreen,
  Deinterlace,
  ChannelUp,
  ChannelDown,
  PreviousChannel,
  Mute,
  VolumeUp,
  VolumeDown,
};

struct ViewerBinding {
  ViewerCommand command;
  const char* text;               // the menu item, with its mnemonic
  std::vector<std::string> keys;  // in the portable form of a key sequence ("PgUp", "Num++")
  const char* shown;              // the keys as the menu lists them, the mouse's ways too
};

// In menu order. The volume keys are the numeric keypad's + and -: the main keyboard's '+' and '-'
// are the channel keys. A remote's channel up is the next row of the list.
const std::vector<ViewerBinding>& ViewerBindings();

// The typed channel key that does the same as `command` ('+', '-' or '.'); 0 for the others. The
// keys go through the same steps, so they wrap at the list's ends as '+' and '-' do.
char32_t ChannelKeyOf(ViewerCommand command);

// The channel command of a mouse wheel turned by `notches` (away from the user is positive).
ViewerCommand WheelCommand(int notches);

}  // namespace kelmo
