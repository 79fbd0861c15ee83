#pragma once

#include <filesystem>

#include "channels/ChannelTables.h"
#include "platform/Messages.h"

namespace kelmo {

// The start-up read of both channel lists from Channels.dat in `dataDir`: the FM section first,
// then the TV section, each file image written back unchanged, so a missing file comes into
// existence as 8 zero bytes. Called by the main window while it starts, before LoadSettings.
// After a failed open the list stays empty and nothing is written. User-interface thread.
void LoadChannelLists(const std::filesystem::path& dataDir, Messages& messages,
                      ChannelTables& channels);

}  // namespace kelmo
