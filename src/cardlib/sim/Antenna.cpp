#include "cardlib/sim/Antenna.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kelmo::simcard {

namespace {

int64_t MhzToHz(double mhz) { return std::llround(mhz * 1e6); }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The first blank-separated word of `s`, removed from it.
std::string_view TakeWord(std::string_view& s) {
  s = Trim(s);
  const std::size_t end = std::min(s.find_first_of(" \t"), s.size());
  std::string_view word = s.substr(0, end);
  s = Trim(s.substr(end));
  return word;
}

// The last blank-separated word of `s`, removed from it.
std::string_view TakeLastWord(std::string_view& s) {
  s = Trim(s);
  const std::size_t blank = s.find_last_of(" \t");
  const std::size_t start = blank == std::string_view::npos ? 0 : blank + 1;
  std::string_view word = s.substr(start);
  s = Trim(s.substr(0, start));
  return word;
}

// A whole word as a number, locale-free: the program's process runs under the user's locale.
template <typename T>
bool ReadNumber(std::string_view word, T& value) {
  if (word.empty()) return false;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size();
}

bool ParseLine(std::string_view line, Antenna& antenna) {
  const std::string_view kind = TakeWord(line);
  double mhz = 0;
  if (!ReadNumber(TakeWord(line), mhz) || !(mhz > 0) || mhz > 2000) return false;
  if (kind == "TV") {
    if (line.empty()) return false;
    antenna.tv.push_back({MhzToHz(mhz), std::string(line), 31});
    return true;
  }
  if (kind == "FM") {
    int32_t strength = 0;
    if (!ReadNumber(TakeLastWord(line), strength) || line.empty()) return false;
    antenna.fm.push_back({MhzToHz(mhz), std::string(line), std::clamp(strength, 0, 31)});
    return true;
  }
  return false;
}

}  // namespace

Antenna DefaultAntenna() {
  Antenna a;
  a.tv = {
      {48'250'000, "Kelmo Uno", 31},    // E2, the lowest channel of the VHF low band
      {62'250'000, "Canal Norte", 31},  // E4
      {175'250'000, "Tele Rio", 31},    // E5, VHF high band
      {210'250'000, "Estudio 10", 31},  // E10
      {503'250'000, "Onda Sur", 31},    // E25, UHF
      {855'250'000, "Ultima TV", 31},   // E69, the highest channel
  };
  a.fm = {
      {87'600'000, "Radio Faro", 24},  // just above the band's start
      {89'300'000, "Clasica FM", 18},    {94'850'000, "Onda Media", 27},
      {100'100'000, "Radio Centro", 31}, {103'450'000, "Kelmo Radio", 21},
      {107'950'000, "Fin de Banda", 16},  // one step below the band's end
  };
  return a;
}

Antenna ParseAntenna(std::string_view text, std::vector<int>& badLines) {
  Antenna antenna;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (line.empty() || line.front() == '#') continue;
    if (!ParseLine(line, antenna)) badLines.push_back(number);
  }
  return antenna;
}

Antenna LoadAntenna() {
  const char* path = std::getenv("KELMO_ANTENNA");
  if (path == nullptr || *path == '\0') return DefaultAntenna();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "Btvid_32.so (simulated): cannot read the antenna file %s\n", path);
    return Antenna{};
  }
  std::ostringstream text;
  text << file.rdbuf();
  std::vector<int> badLines;
  Antenna antenna = ParseAntenna(text.str(), badLines);
  for (int line : badLines) {
    std::fprintf(stderr, "Btvid_32.so (simulated): %s line %d ignored\n", path, line);
  }
  return antenna;
}

}  // namespace kelmo::simcard
