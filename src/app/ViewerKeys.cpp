#include "app/ViewerKeys.h"

namespace kelmo {

const std::vector<ViewerBinding>& ViewerBindings() {
  static const std::vector<ViewerBinding> bindings = {
      {ViewerCommand::FullScreen, "&Full Screen", {"F11", "F"}, "F11, F, double click"},
      {ViewerCommand::Deinterlace, "&Deinterlace", {}, ""},
      {ViewerCommand::ChannelUp, "Channel &Up", {"PgUp", "Up"}, "PgUp, Up, wheel up"},
      {ViewerCommand::ChannelDown, "Channel Do&wn", {"PgDown", "Down"}, "PgDown, Down, wheel down"},
      {ViewerCommand::PreviousChannel, "&Previous Channel", {"Backspace"}, "Backspace"},
      {ViewerCommand::Mute, "&Mute", {"M"}, "M"},
      {ViewerCommand::VolumeUp, "&Volume Up", {"Num++"}, "Keypad +"},
      {ViewerCommand::VolumeDown, "Volume Dow&n", {"Num+-"}, "Keypad -"},
  };
  return bindings;
}

char32_t ChannelKeyOf(ViewerCommand command) {
  switch (command) {
    case ViewerCommand::ChannelUp:
      return U'+';
    case ViewerCommand::ChannelDown:
      return U'-';
    case ViewerCommand::PreviousChannel:
      return U'.';
    default:
      return 0;
  }
}

ViewerCommand WheelCommand(int notches) {
  return notches > 0 ? ViewerCommand::ChannelUp : ViewerCommand::ChannelDown;
}

}  // namespace kelmo
