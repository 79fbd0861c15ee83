#include "audio/sim/SimSoundModel.h"

#include <cmath>
#include <numbers>

namespace kelmo {

namespace {

constexpr double kNoiseAmplitude = 0.02;

}  // namespace

SimSoundModel::Sound SimSoundModel::SoundOf(const KelmoSimCardState* card) {
  if (card == nullptr) return {Kind::Noise, 0, kNoiseAmplitude};
  if (card->audioSelector == 0) return {Kind::Silence, 0, 0};
  if (card->stationFound != 0 && card->band == KELMO_SIM_BAND_FM && card->audioSelector == 1) {
    // One tone per station: 400..1100 Hz in 25 Hz steps by the station's frequency, louder the
    // stronger the station.
    const long tenths = std::lround(card->stationMhz * 10);
    const double hz = 400 + static_cast<double>(tenths % 29) * 25;
    return {Kind::Tone, hz, 0.25 + 0.5 * card->stationStrength / 31.0};
  }
  if (card->stationFound != 0 && card->band == KELMO_SIM_BAND_TV && card->audioSelector == 3) {
    return {Kind::Chord, 330, 0.3};
  }
  return {Kind::Noise, 0, kNoiseAmplitude};
}

double SimSoundModel::Next(const Sound& sound, uint32_t rate) {
  constexpr double kTwoPi = 2 * std::numbers::pi;
  switch (sound.kind) {
    case Kind::Silence:
      return 0;
    case Kind::Tone: {
      const double v = std::sin(kTwoPi * phase);
      phase = std::fmod(phase + sound.hz / rate, 1.0);
      return sound.amplitude * v;
    }
    case Kind::Chord: {
      const double v = 0.5 * (std::sin(kTwoPi * phase) + std::sin(kTwoPi * upperPhase));
      phase = std::fmod(phase + sound.hz / rate, 1.0);
      upperPhase = std::fmod(upperPhase + sound.hz * 1.5 / rate, 1.0);  // a fifth above
      return sound.amplitude * v;
    }
    case Kind::Noise:
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      return sound.amplitude * (static_cast<double>(noise) / 2147483648.0 - 1.0);
  }
  return 0;
}

void SimSoundModel::Generate(const Sound& sound, const WaveFormatEx& format, uint8_t* out,
                             uint32_t frames) {
  for (uint32_t i = 0; i < frames; ++i) {
    const double v = Next(sound, format.nSamplesPerSec);
    for (uint16_t c = 0; c < format.nChannels; ++c) {
      if (format.wBitsPerSample == 8) {
        *out++ = static_cast<uint8_t>(128 + std::lround(v * 127));
      } else {
        const auto s = static_cast<int16_t>(std::lround(v * 32767));
        *out++ = static_cast<uint8_t>(s);
        *out++ = static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8);
      }
    }
  }
}

}  // namespace kelmo
