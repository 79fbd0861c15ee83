#pragma once

#include <filesystem>

#include "base/ChannelTables.h"
#include "platform/Messages.h"

namespace kelmo {

// The start-up read of both channel lists from Channels.dat in `dataDir`, the FM section first,
// then the TV section, from one read of the file. Nothing is written unless the file was missing
// or empty (it becomes 8 zero bytes). Called by the main window while it starts, before
// LoadSettings. After a failed read both lists stay empty and nothing is written. User-interface
// thread.
void LoadChannelLists(const std::filesystem::path& dataDir, Messages& messages,
                      ChannelTables& channels);

}  // namespace kelmo
