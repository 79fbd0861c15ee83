#include "app/ViewerKeys.h"

namespace kelmo {

const std::vector<ViewerBinding>& ViewerBindings() {
  static const std::vector<ViewerBinding> bindings = {
      {ViewerCommand::FullScreen, "&Full Screen", {"F11", "F"}},
      {ViewerCommand::Deinterlace, "&Deinterlace", {}},
      {ViewerCommand::ChannelUp, "Channel &Up", {"PgUp", "Up"}},
      {ViewerCommand::ChannelDown, "Channel Do&wn", {"PgDown", "Down"}},
      {ViewerCommand::PreviousChannel, "&Previous Channel", {"Backspace"}},
      {ViewerCommand::Mute, "&Mute", {"M"}},
      {ViewerCommand::VolumeUp, "&Volume Up", {"Num++"}},
      {ViewerCommand::VolumeDown, "Volume Dow&n", {"Num+-"}},
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
