#pragma once

namespace kelmo {

class KelmoContext;

// The start-up read of both channel lists from Channels.dat in ctx.dataDir: the FM section first,
// then the TV section, each file image written back unchanged, so a missing file comes into
// existence as 8 zero bytes. Called by the main window while it starts, before LoadSettings.
// After a failed open the list stays empty and nothing is written. User-interface thread.
void LoadChannelLists(KelmoContext& ctx);

}  // namespace kelmo
