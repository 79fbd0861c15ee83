#include "capture/CardStartup.h"

namespace kelmo {

namespace {

// Lets the card finish whatever the capture was doing before its sound is switched.
constexpr int kShutdownPauseMs = 500;

}  // namespace

int CardStartup::StartCard() {
  card.LoadCardLibrary();
  const int connected = capture.ConnectCaptureDriver(state);
  // The card library drives the card whose picture is shown.
  CaptureWindow* window = capture.Window();
  card.UseVideoDevice(window != nullptr ? window->DriverDevice() : std::string());
  return connected;
}

void CardStartup::StopCard() {
  capture.StopCaptureAndWait();
  clock.Sleep(kShutdownPauseMs);
  if (state.soundOnAtExit == 0) card.SelectAudioOff();
  card.UnloadCardLibrary();
  capture.DisconnectCaptureDriver();
}

}  // namespace kelmo
