#pragma once

#include "base/AppState.h"
#include "capture/CaptureDriver.h"
#include "platform/Clock.h"
#include "tuner/CardDriverLibrary.h"

namespace kelmo {

// Card start-up and shut-down: at the main window's start and end, and around a change of capture
// driver. User-interface thread.
class CardStartup {
 public:
  CardStartup(CardDriverLibrary& card, CaptureDriver& capture, Clock& clock, AppState& state)
      : card(card), capture(capture), clock(clock), state(state) {}

  // Loads and binds the card library and initialises its bus (or tells the user it is missing),
  // then connects the capture driver. Returns driverConnected.
  int StartCard();

  // Ends any capture and waits for it, a 500 ms pause, the card's sound off unless the user chose
  // to leave it on at exit (soundOnAtExit), the library released, the capture driver disconnected.
  void StopCard();

 private:
  CardDriverLibrary& card;
  CaptureDriver& capture;
  Clock& clock;
  AppState& state;
};

}  // namespace kelmo
