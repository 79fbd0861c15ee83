#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelmo::simcard {

// One station that the virtual antenna receives. Frequencies are whole hertz, so the tuner model
// compares them exactly.
struct Station {
  int64_t hz = 0;        // TV: vision carrier; FM: carrier
  std::string name;      // UTF-8
  int32_t strength = 0;  // FM: 0..31 as the tuner's status reports it; TV: 31
};

struct Antenna {
  std::vector<Station> tv;
  std::vector<Station> fm;
};

// Stations on the PAL B/G raster and on the 50 kHz FM raster, used when no antenna file is named.
Antenna DefaultAntenna();

// Reads an antenna file's text. Lines it cannot read are skipped; their numbers (from 1) are added
// to `badLines`.
Antenna ParseAntenna(std::string_view text, std::vector<int>& badLines);

// The antenna named by KELMO_ANTENNA, or the default when the variable is unset. A file that cannot
// be read, and lines that cannot be read, are reported on stderr.
Antenna LoadAntenna();

}  // namespace kelmo::simcard
