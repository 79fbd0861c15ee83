#include "capture/CardStartup.h"

namespace kelmo {

namespace {

// Lets the card finish whatever the capture was doing before its sound is switched.
constexpr int kShutdownPauseMs = 500;

}  // namespace

void CardStartup::StartCard() { card.LoadCardLibrary(); }

void CardStartup::StopCard() {
  clock.Sleep(kShutdownPauseMs);
  if (state.soundOnAtExit == 0) card.SelectAudioOff();
  card.UnloadCardLibrary();
}

}  // namespace kelmo
