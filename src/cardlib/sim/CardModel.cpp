#include "cardlib/sim/CardModel.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace kelmo::simcard {

namespace {

// The tuner answers at I2C device 0x60 or 0x61: write addresses 0xC0 / 0xC2, read 0xC1 / 0xC3.
bool IsTunerWriteAddress(uint8_t a) { return a == 0xC0 || a == 0xC2; }
bool IsTunerReadAddress(uint8_t a) { return a == 0xC1 || a == 0xC3; }

// Control bytes: the reference divider of the synthesiser decides the step and so the mode.
constexpr uint8_t kControlFm = 0x88;  // 50 kHz steps, 10.7 MHz intermediate frequency
constexpr uint8_t kControlTv = 0x8E;  // 62.5 kHz steps, 38.9375 MHz intermediate frequency

constexpr int64_t kTvCaptureRangeHz = 250'000;  // the decoder locks this close to a carrier
constexpr int64_t kFmCaptureRangeHz = 24'999;   // under half the 50 kHz raster: one hit per station
constexpr int64_t kFmSkirtHz = 75'000;          // a neighbouring step hears the station weakly

// A byte that nobody drives reads as all ones on an I2C bus.
constexpr uint32_t kNoDevice = 0xFF;

std::string Hex(uint32_t byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
  return text;
}

std::string Decimal(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return text;
}

// "<MHz>:<n>" of KELMO_SIM_FADE, or {0, 0}. Locale-free: the program runs under the user's locale.
std::pair<int64_t, uint32_t> ReadFade() {
  const char* text = std::getenv("KELMO_SIM_FADE");
  if (text == nullptr) return {0, 0};
  const char* end = text + std::strlen(text);
  double mhz = 0;
  uint32_t reading = 0;
  auto [colon, ec] = std::from_chars(text, end, mhz);
  if (ec != std::errc() || colon == end || *colon != ':' || !(mhz > 0)) return {0, 0};
  auto [last, ec2] = std::from_chars(colon + 1, end, reading);
  if (ec2 != std::errc() || last != end) return {0, 0};
  return {std::llround(mhz * 1e6), reading};
}

int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

const Station* Nearest(const std::vector<Station>& stations, int64_t hz, int64_t range) {
  const Station* best = nullptr;
  for (const Station& s : stations) {
    if (Distance(s.hz, hz) > range) continue;
    if (best == nullptr || Distance(s.hz, hz) < Distance(best->hz, hz)) best = &s;
  }
  return best;
}

}  // namespace

void CardModel::InitI2C() {
  const char* path = std::getenv("KELMO_I2C_LOG");
  Antenna fresh = LoadAntenna();
  const auto [fadeAt, fadeOn] = ReadFade();
  std::lock_guard lock(mutex);
  fadeHz = fadeAt;
  fadeReading = fadeOn;
  readsSinceTune = 0;
  logPath = path != nullptr ? path : "";
  antenna = std::move(fresh);
  inTransaction = false;
  transaction.clear();
  band = KELMO_SIM_BAND_NONE;
  tunedHz = 0;
  bandByte = 0;
  tuneCount = 0;
  decoderRegisters.fill(0);
}

void CardModel::InitGpio() {
  std::lock_guard lock(mutex);
  outputEnable = 0;
  gpioData = 0;
}

void CardModel::I2CStart() {
  std::lock_guard lock(mutex);
  inTransaction = true;
  transaction.clear();
}

void CardModel::I2CWrite(int32_t value) {
  std::lock_guard lock(mutex);
  // Without a start condition no device listens.
  if (inTransaction) transaction.push_back(static_cast<uint8_t>(value & 0xFF));
}

void CardModel::I2CStop() {
  std::lock_guard lock(mutex);
  if (inTransaction && !transaction.empty() && (transaction[0] & 1) == 0) {
    std::string line = "W";
    for (uint8_t b : transaction) line += " " + Hex(b);
    LogLocked(line);
    if (IsTunerWriteAddress(transaction[0])) TuneLocked();
  }
  inTransaction = false;
  transaction.clear();
}

uint32_t CardModel::I2CRead() {
  std::lock_guard lock(mutex);
  if (!inTransaction || transaction.empty()) return kNoDevice;
  const uint8_t address = transaction[0];
  const uint32_t value = !IsTunerReadAddress(address) ? kNoDevice
                         : FadesLocked()              ? 0
                                                      : TunerStatusLocked();
  LogLocked("R " + Hex(address) + " -> " + Hex(value));
  return value;
}

void CardModel::SetOutputEnable(int32_t pin, int32_t enable) {
  if (pin < 0 || pin > 23) return;
  std::lock_guard lock(mutex);
  if (enable != 0) {
    outputEnable |= 1u << pin;
  } else {
    outputEnable &= ~(1u << pin);
  }
}

void CardModel::SetDataBits(int32_t firstBit, int32_t lastBit, int32_t value) {
  std::lock_guard lock(mutex);
  LogLocked("GPIO " + Decimal(value));
  if (firstBit < 0 || lastBit > 23 || firstBit > lastBit) return;
  const uint32_t width = static_cast<uint32_t>(lastBit - firstBit + 1);
  const uint32_t mask = ((1u << width) - 1) << firstBit;
  gpioData = (gpioData & ~mask) | ((static_cast<uint32_t>(value) << firstBit) & mask);
}

uint32_t CardModel::ReadDecoder(int32_t reg) {
  std::lock_guard lock(mutex);
  uint32_t value = 0;
  if (reg == 0) {
    // Device status: bit 7 a video signal is present, bit 6 the horizontal sync is locked.
    const bool picture = band == KELMO_SIM_BAND_TV && ReceivedStationLocked() != nullptr;
    value = picture && !FadesLocked() ? 0xC0 : 0x00;
  } else if (reg > 0 && reg < 256) {
    value = decoderRegisters[static_cast<std::size_t>(reg)];
  }
  LogLocked("DEC " + Hex(static_cast<uint32_t>(reg)) + " -> " + Hex(value));
  return value;
}

void CardModel::WriteDecoder(int32_t reg, int32_t value) {
  if (reg <= 0 || reg > 255) return;  // register 0 is read-only status
  std::lock_guard lock(mutex);
  decoderRegisters[static_cast<std::size_t>(reg)] = static_cast<uint8_t>(value & 0xFF);
}

KelmoSimCardState CardModel::Query() {
  std::lock_guard lock(mutex);
  KelmoSimCardState s{};
  s.band = band;
  s.frequencyMhz = static_cast<double>(tunedHz) / 1e6;
  s.bandByte = bandByte;
  s.audioSelector = static_cast<int32_t>(((gpioData & outputEnable) >> 2) & 3);
  s.tuneCount = tuneCount;
  if (const Station* station = ReceivedStationLocked()) {
    s.stationFound = 1;
    s.stationMhz = static_cast<double>(station->hz) / 1e6;
    s.stationStrength = station->strength;
    std::strncpy(s.stationName, station->name.c_str(), sizeof s.stationName - 1);
  }
  return s;
}

const Station* CardModel::ReceivedStationLocked() const {
  if (band == KELMO_SIM_BAND_TV) return Nearest(antenna.tv, tunedHz, kTvCaptureRangeHz);
  if (band == KELMO_SIM_BAND_FM) return Nearest(antenna.fm, tunedHz, kFmCaptureRangeHz);
  return nullptr;
}

uint32_t CardModel::TunerStatusLocked() const {
  if (band == KELMO_SIM_BAND_FM) {
    if (const Station* s = Nearest(antenna.fm, tunedHz, kFmCaptureRangeHz)) {
      return static_cast<uint32_t>(s->strength);
    }
    if (const Station* s = Nearest(antenna.fm, tunedHz, kFmSkirtHz)) {
      return static_cast<uint32_t>(s->strength / 2);
    }
  }
  // Noise: a low level that varies with the tuning, as a real level meter's would.
  return 1 + static_cast<uint32_t>((tunedHz / 50'000) % 3);
}

void CardModel::TuneLocked() {
  // Address, divider high, divider low, control byte, band byte: a shorter write sets nothing.
  if (transaction.size() < 5) return;
  const int64_t divider = ((transaction[1] << 8) | transaction[2]) & 0x7FFF;
  const uint8_t control = transaction[3];
  bandByte = transaction[4];
  ++tuneCount;
  readsSinceTune = 0;
  if (control == kControlFm) {
    band = KELMO_SIM_BAND_FM;
    tunedHz = divider * 50'000 - 10'700'000;
  } else if (control == kControlTv) {
    band = KELMO_SIM_BAND_TV;
    tunedHz = divider * 62'500 - 38'937'500;
  } else {
    band = KELMO_SIM_BAND_NONE;  // a mode this tuner does not have: it receives nothing
    tunedHz = 0;
  }
}

bool CardModel::FadesLocked() {
  ++readsSinceTune;
  if (fadeReading == 0 || readsSinceTune != fadeReading) return false;
  const Station* station = ReceivedStationLocked();
  return station != nullptr && station->hz == fadeHz;
}

void CardModel::LogLocked(const std::string& line) {
  if (logPath.empty()) return;
  // Opened per line so that a test reading the file between calls sees every line.
  if (std::FILE* f = std::fopen(logPath.c_str(), "a")) {
    std::fputs((line + "\n").c_str(), f);
    std::fclose(f);
  }
}

CardModel& TheCard() {
  static CardModel card;
  return card;
}

}  // namespace kelmo::simcard
