#include "capture/CardStartup.h"

#include "app/KelmoContext.h"

namespace kelmo {

namespace {

// Lets the card finish whatever the capture was doing before its sound is switched.
constexpr int kShutdownPauseMs = 500;

}  // namespace

void StartCard(KelmoContext& context) { context.card.LoadCardLibrary(); }

void StopCard(KelmoContext& context) {
  context.clock.Sleep(kShutdownPauseMs);
  if (context.state.soundOnAtExit == 0) context.card.SelectAudioOff();
  context.card.UnloadCardLibrary();
}

}  // namespace kelmo
