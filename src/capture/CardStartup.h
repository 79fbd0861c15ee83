#pragma once

namespace kelmo {

class KelmoContext;

// Card start-up, at the main window's start and after a change of capture driver: loads and binds
// the card library and initialises its bus, or tells the user it is missing. User-interface thread.
void StartCard(KelmoContext& context);

// Card shut-down, at exit and before a change of capture driver: a 500 ms pause, the card's sound
// off unless the user chose to leave it on at exit (soundOnAtExit), then the library released.
// User-interface thread.
void StopCard(KelmoContext& context);

}  // namespace kelmo
