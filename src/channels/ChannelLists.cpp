#include "channels/ChannelLists.h"

#include "channels/ChannelFile.h"

namespace kelmo {

void LoadChannelLists(const std::filesystem::path& dataDir, Messages& messages,
                      ChannelTables& channels) {
  // One file object for both passes, so a damaged file is reported once.
  ChannelFile file(dataDir, messages);
  file.Load();
  file.ReadFmChannels(channels.fm);
  channels.fm.count = file.GetFmCount();
  file.Save();

  file.Load();
  file.ReadTvChannels(channels.tv);
  channels.tv.count = file.GetTvCount();
  file.Save();
}

}  // namespace kelmo
