#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "base/SavedLine.h"

namespace kelmo {

// The main window's process-wide state, read and written by the other subsystems. Flags are 0/1.
// The words that a driver thread (the capture thread, the wave reader) shares with the
// user-interface thread are atomics: the same single-word protocol, with defined behaviour.
struct AppState {
  int32_t tvMode = 1;          // 1 = TV, 0 = FM radio; set by tuning
  int32_t currentChannel = 0;  // index into the current mode's table
  int32_t tunerType = 2;       // 0 Philips, 1 Temic, 2 LG
  int32_t overlayOn = 0;
  int32_t alwaysOnTop = 0;
  int32_t frameRate = 25;  // AVI frames per second, 1..30
  std::string saveDir;     // recordings' directory, ending in '/'
  bool muted = false;
  bool smallView = false;
  int32_t deinterlace = 1;    // full-height captures are deinterlaced in the live picture
  int32_t soundOnAtExit = 0;  // "Exit and Sound ON" leaves the card's sound on
  std::atomic<int32_t> levelMeterOn{0};  // read by the wave reader thread
  int32_t spinLastDirection = 0;         // -1, 0 or +1: the previous spin click
  int32_t recordingNotes = 1;            // each recording gets its note ("<file>.txt")

  // The schedule's protocol with the recording callbacks.
  int32_t programStarted = 0;
  std::atomic<int32_t> recordingFinished{0};
  std::atomic<int32_t> recordingStopped{0};
  int32_t savedFrameRate = 25;
  int32_t timerBusy = 0;
  // Asked for by the Recording Programs dialog; dropped by a capture thread that ends by itself.
  std::atomic<int32_t> shutdownWhenFinished{0};

  std::atomic<int32_t> waveInputRunning{0};  // the wave input is open and running
  std::atomic<int32_t> recordingToFile{0};   // a sound recording to a file runs
  SavedLine savedLine;                       // the last recording's line, till the next action
};

}  // namespace kelmo
