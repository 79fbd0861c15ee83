#include "channels/BandRaster.h"

#include <cmath>

#include "base/Frequency.h"

namespace kelmo {

namespace {

// Runs of equally spaced vision carriers; together they make the search's 104 frequencies.
struct CarrierRun {
  double firstMhz;
  double stepMhz;
  int count;
};

constexpr std::array<CarrierRun, 3> kTvSearchRuns = {{
    {48.25, 7.0, 6},    // E2..E4 and the low cable channels, 48.25 .. 83.25
    {105.25, 7.0, 28},  // S-channels and E5..E12 (VHF high), 105.25 .. 294.25
    {303.25, 8.0, 70},  // hyperband and UHF E21..E69, 303.25 .. 855.25
}};

std::array<float, kTvSearchCount> BuildTvSearchFrequencies() {
  std::array<float, kTvSearchCount> table{};
  std::size_t i = 0;
  for (const CarrierRun& run : kTvSearchRuns) {
    for (int k = 0; k < run.count; ++k) {
      table[i++] = static_cast<float>(run.firstMhz + run.stepMhz * k);
    }
  }
  return table;
}

}  // namespace

double PositionMhz(const BandRaster& raster, int32_t p) {
  return raster.firstMhz + raster.stepMhz * p;
}

std::string PositionText(const BandRaster& raster, int32_t p) {
  return FormatFrequency(PositionMhz(raster, p));
}

int32_t PositionOf(const BandRaster& raster, const std::string& frequencyText) {
  const double p = std::round((ParseFrequency(frequencyText) - raster.firstMhz) * raster.perMhz);
  if (!(p > 0)) return 0;  // also a text that is no number
  return p >= raster.lastPosition ? raster.lastPosition : static_cast<int32_t>(p);
}

const std::array<float, kTvSearchCount>& TvSearchFrequencies() {
  static const std::array<float, kTvSearchCount> table = BuildTvSearchFrequencies();
  return table;
}

float FmSearchFrequency(int32_t p) { return static_cast<float>(PositionMhz(kFmRaster, p)); }

}  // namespace kelmo
