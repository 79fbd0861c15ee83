#pragma once

#include <array>
#include <cstdint>

#include "base/AppState.h"
#include "tuner/CardDriverLibrary.h"

namespace kelmo {

// The five values of one tuner write: address, divider high, divider low, control byte, band.
using TunerWrite = std::array<int32_t, 5>;

// The write that tunes the TV frequency `mhz` with the given tuner type (outside 0..2: the
// default type).
TunerWrite TvTunerWrite(float mhz, int32_t tunerType);
// The write that tunes the FM frequency `mhz`.
TunerWrite FmTunerWrite(float mhz);

// Programs the card's tuner and switches the card's sound around each write. Tuning decides the
// mode: a TV tuning sets tvMode to 1, an FM tuning to 0. User-interface thread only; each tuning
// blocks for about 150 ms of the tuner's protocol pauses.
class Tuner {
 public:
  Tuner(CardDriverLibrary& card, AppState& state) : card(card), state(state) {}

  // Without the card library nothing happens and tvMode stays as it is. The frequency is not
  // checked against any band.
  void TuneTv(float mhz);
  void TuneFm(float mhz);

  // The frequency written last (0 before any) and its band; the window's channel line is checked
  // against it after dialogs that tune on their own (the channel dialogs, their searches).
  float TunedMhz() const { return tunedMhz; }
  bool TunedTv() const { return tunedTv; }

 private:
  CardDriverLibrary& card;
  AppState& state;
  float tunedMhz = 0;
  bool tunedTv = true;
};

}  // namespace kelmo
