#pragma once

#include <array>
#include <cstdint>

namespace kelmo {

// What the tuner needs to be told for TV, per tuner type. Frequencies are in units of 1/16 MHz
// (62.5 kHz), the tuner's TV step.
struct TunerParams {
  int32_t ifOffset;      // intermediate frequency added to the wanted frequency
  int32_t vhfHighStart;  // lowest scaled frequency of the middle band
  int32_t uhfStart;      // lowest scaled frequency of the high band
  int32_t bandLow;       // band byte below vhfHighStart
  int32_t bandMid;       // band byte from vhfHighStart to below uhfStart
  int32_t bandHigh;      // band byte from uhfStart up
  int32_t controlByte;   // control byte for TV: 62.5 kHz reference step
  int32_t i2cAddress;    // I2C write address byte for TV
};

// Indexed by tunerType, in the order of the tuner choice's items. The IF is 38.9375 MHz, the bands
// change at 140.25 and 463.25 MHz.
inline constexpr std::array<TunerParams, 3> kTunerParams = {{
    {623, 2244, 7412, 0xA0, 0x90, 0x30, 0x8E, 0xC0},  // 0 "Philips", at device 0x60
    {623, 2244, 7412, 0x02, 0x04, 0x01, 0x8E, 0xC2},  // 1 "Temic", its own band bytes, at 0x61
    {623, 2244, 7412, 0xA0, 0x90, 0x30, 0x8E, 0xC2},  // 2 "LG", Philips band bytes, at 0x61
}};

// The tuner choice's item texts, indexed by tunerType.
inline constexpr std::array<const char*, 3> kTunerTypeNames = {"Philips", "Temic", "LG"};

// The tuner type used when a stored one is outside the table.
inline constexpr int32_t kDefaultTunerType = 2;

// `tunerType` when it names a row of the table, else the default.
constexpr int32_t ValidTunerType(int32_t tunerType) {
  return tunerType >= 0 && tunerType < static_cast<int32_t>(kTunerParams.size())
             ? tunerType
             : kDefaultTunerType;
}

// FM radio is the same for every tuner type: 50 kHz steps above a 10.7 MHz IF.
inline constexpr int32_t kFmI2cAddress = 0xC2;
inline constexpr int32_t kFmControlByte = 0x88;  // 50 kHz reference step
inline constexpr int32_t kFmBandValue = 0x88A5;  // the card sends its low byte, the FM band 0xA5

}  // namespace kelmo
