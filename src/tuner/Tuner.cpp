#include "tuner/Tuner.h"

#include <cmath>

#include "tuner/TunerParams.h"

namespace kelmo {

namespace {

// The divider is a 15-bit field of the tuner; a frequency no channel list holds (a damaged or
// hand-edited file) is held to it instead of overflowing the conversion.
int32_t ToDivider(double steps) {
  if (!(steps > 0)) return 0;
  return steps >= 32767 ? 32767 : static_cast<int32_t>(steps);
}

TunerWrite Bytes(int32_t address, int32_t divider, int32_t control, int32_t band) {
  // The tuner wants the high divider byte first.
  return {address, (divider >> 8) & 0xFF, divider & 0xFF, control, band};
}

}  // namespace

TunerWrite TvTunerWrite(float mhz, int32_t tunerType) {
  const TunerParams& p = kTunerParams[static_cast<std::size_t>(ValidTunerType(tunerType))];
  // Every TV frequency of the channel lists is a whole number of 1/16 MHz steps, so truncating
  // loses nothing there.
  const double scaled = static_cast<double>(mhz) * 16;
  const int32_t divider = ToDivider(p.ifOffset + std::trunc(scaled));
  // The band follows the wanted frequency, not the divider.
  const int32_t band = scaled < p.vhfHighStart ? p.bandLow
                       : scaled < p.uhfStart   ? p.bandMid
                                               : p.bandHigh;
  return Bytes(p.i2cAddress, divider, p.controlByte, band);
}

TunerWrite FmTunerWrite(float mhz) {
  // Count of 50 kHz steps of the wanted frequency plus the 10.7 MHz IF, rounded to the nearest
  // step: a 0.05 MHz raster frequency is often a hair below its step in single precision (87.60
  // is 87.5999985), and truncating would tune the step below.
  const double steps = 2 * (static_cast<double>(mhz) * 10 + 107);
  return Bytes(kFmI2cAddress, ToDivider(std::round(steps)), kFmControlByte, kFmBandValue);
}

void Tuner::TuneTv(float mhz) {
  if (!card.IsLoaded()) return;
  state.tvMode = 1;
  tunedMhz = mhz;
  tunedTv = true;
  // Silence while the tuner slews, so the change of channel makes no noise.
  card.SelectAudioOff();
  card.I2CWrite(TvTunerWrite(mhz, state.tunerType));
  if (!state.muted) card.SelectAudioTv();
}

void Tuner::TuneFm(float mhz) {
  if (!card.IsLoaded()) return;
  state.tvMode = 0;
  tunedMhz = mhz;
  tunedTv = false;
  card.SelectAudioOff();
  card.I2CWrite(FmTunerWrite(mhz));
  if (!state.muted) card.SelectAudioFm();
}

}  // namespace kelmo
