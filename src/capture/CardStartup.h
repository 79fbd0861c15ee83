#pragma once

#include "base/AppState.h"
#include "platform/Clock.h"
#include "tuner/CardDriverLibrary.h"

namespace kelmo {

// Card start-up and shut-down: at the main window's start and end, and around a change of capture
// driver. User-interface thread.
class CardStartup {
 public:
  CardStartup(CardDriverLibrary& card, Clock& clock, AppState& state)
      : card(card), clock(clock), state(state) {}

  // Loads and binds the card library and initialises its bus, or tells the user it is missing.
  void StartCard();

  // A 500 ms pause, the card's sound off unless the user chose to leave it on at exit
  // (soundOnAtExit), then the library released.
  void StopCard();

 private:
  CardDriverLibrary& card;
  Clock& clock;
  AppState& state;
};

}  // namespace kelmo
