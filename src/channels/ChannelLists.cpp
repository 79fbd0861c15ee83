#include "channels/ChannelLists.h"

#include "channels/ChannelFile.h"

namespace kelmo {

void LoadChannelLists(const std::filesystem::path& dataDir, Messages& messages,
                      ChannelTables& channels) {
  // One read for both lists, so a file that cannot be read or is damaged is reported once.
  ChannelFile file(dataDir, messages);
  if (!file.Load()) return;
  file.ReadFmChannels(channels.fm);
  channels.fm.count = file.GetFmCount();
  file.ReadTvChannels(channels.tv);
  channels.tv.count = file.GetTvCount();
  file.Save();
}

}  // namespace kelmo
