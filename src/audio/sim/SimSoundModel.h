#pragma once

#include <cstdint>

#include "audio/WaveFormat.h"
#include "cardlib/CardLibraryAbi.h"

namespace kelmo {

// What the simulated sound card hears, from what the simulated card receives: each FM station a
// steady tone of its own while the audio selector is on FM radio, a two-tone chord for a TV station
// while the selector is on TV sound, low noise off-station (or without the simulated card), silence
// while the selector is off (muted).
class SimSoundModel {
 public:
  enum class Kind { Silence, Tone, Chord, Noise };
  struct Sound {
    Kind kind = Kind::Noise;
    double hz = 0;         // the tone, or the chord's lower note
    double amplitude = 0;  // of full scale, 0..1
  };

  // The sound of a card state; null: no simulated card answers.
  static Sound SoundOf(const KelmoSimCardState* card);

  // Writes `frames` sample frames of `sound` in `format` (plain PCM) to `out`, going on from the
  // frames written before, so a tone has no click at a buffer's edge.
  void Generate(const Sound& sound, const WaveFormatEx& format, uint8_t* out, uint32_t frames);

 private:
  double Next(const Sound& sound, uint32_t rate);

  double phase = 0;  // of the tone or lower note, in cycles
  double upperPhase = 0;
  uint32_t noise = 0x12345678;
};

}  // namespace kelmo
