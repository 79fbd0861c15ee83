#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelmo {

enum class ChannelBand { Tv, Fm };

// The manual-tuning raster of a channel dialog: position p (0 .. lastPosition) of its slider is
// firstMhz + stepMhz * p. Frequencies are shown and stored with two decimals.
struct BandRaster {
  double firstMhz;
  double stepMhz;
  int32_t perMhz;  // positions per MHz (1 / stepMhz)
  int32_t lastPosition;
};

// TV: 38.00 .. 855.25 MHz in 0.25 MHz steps, every vision carrier of the tuner's 1/16 MHz grid that
// the channel rasters use. FM: 87.50 .. 108.00 MHz in 50 kHz steps.
inline constexpr BandRaster kTvRaster{38.0, 0.25, 4, 3269};
inline constexpr BandRaster kFmRaster{87.5, 0.05, 20, 410};

inline const BandRaster& RasterOf(ChannelBand band) {
  return band == ChannelBand::Tv ? kTvRaster : kFmRaster;
}

// The frequency of position p, in double precision (the tuner takes it as a float).
double PositionMhz(const BandRaster& raster, int32_t p);
// Its "%.2f" text.
std::string PositionText(const BandRaster& raster, int32_t p);
// The position nearest to a stored frequency text (read as atof reads it), held to the raster's
// ends as the slider holds it.
int32_t PositionOf(const BandRaster& raster, const std::string& frequencyText);

// The vision carriers of the PAL B/G terrestrial and cable raster that the automatic TV search
// tries, ascending, as the tuner takes them.
inline constexpr int kTvSearchCount = 104;
const std::array<float, kTvSearchCount>& TvSearchFrequencies();

// The FM search tries every position of the FM raster.
inline constexpr int kFmSearchCount = kFmRaster.lastPosition + 1;
float FmSearchFrequency(int32_t p);

}  // namespace kelmo
