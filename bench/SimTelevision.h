#pragma once

// What the television benchmarks share: their duration and the simulated card's TV station.
#include <cstdio>
#include <cstdlib>

#include "cardlib/CardLibraryAbi.h"

namespace kelmo::bench {

// Seconds to run: the first argument, else the environment variable `variable`, else `fallback`.
inline int Duration(int argc, char** argv, const char* variable, int fallback) {
  const char* text = argc > 1 ? argv[1] : std::getenv(variable);
  const int seconds = text != nullptr ? std::atoi(text) : fallback;
  return seconds > 0 ? seconds : fallback;
}

// The simulated card tuned to a television station, for the pattern and the sound alike.
inline bool TvStation(KelmoSimCardState& s) {
  s = {};
  s.band = KELMO_SIM_BAND_TV;
  s.stationFound = 1;
  s.audioSelector = 3;
  std::snprintf(s.stationName, sizeof s.stationName, "Kelmo Uno");
  return true;
}

}  // namespace kelmo::bench
