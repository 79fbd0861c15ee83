#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kelmo::v4l2card {

// What a five-byte tuner write asks of the tuner: the band and the wanted frequency.
struct TunerRequest {
  bool fm = false;  // FM radio; TV otherwise
  int64_t hz = 0;   // the wanted frequency (the vision carrier for TV)
};

// Decodes one I2C write transaction (address byte first) the way the tuner reads it: a write at
// one of the tuner's addresses (0xC0 .. 0xC6) with two divider bytes (high first), a control byte
// and a band byte. The control byte picks the synthesiser's step: 0x88 is 50 kHz above a 10.7 MHz
// intermediate frequency (FM), anything else 62.5 kHz above 38.9375 MHz (TV). Nothing when the
// bytes are not a tuner write, or ask for a frequency below zero.
std::optional<TunerRequest> DecodeTunerWrite(std::span<const uint8_t> bytes);

// A frequency in the kernel's tuner units: 62.5 Hz when the tuner reports V4L2_TUNER_CAP_LOW,
// 62.5 kHz otherwise, to the nearest unit.
uint32_t ToV4l2Frequency(int64_t hz, bool capLow);

}  // namespace kelmo::v4l2card
