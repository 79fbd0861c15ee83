#include "channels/ChannelLists.h"

#include "app/KelmoContext.h"
#include "channels/ChannelFile.h"

namespace kelmo {

void LoadChannelLists(KelmoContext& ctx) {
  // One file object for both passes, so a damaged file is reported once.
  ChannelFile file(ctx.dataDir, ctx.messages);
  file.Load();
  file.ReadFmChannels(ctx.channels.fm);
  ctx.channels.fm.count = file.GetFmCount();
  file.Save();

  file.Load();
  file.ReadTvChannels(ctx.channels.tv);
  ctx.channels.tv.count = file.GetTvCount();
  file.Save();
}

}  // namespace kelmo
