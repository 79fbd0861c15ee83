#pragma once

#include <cstdint>

namespace kelmo {

// Results of the wave devices. The numbers are those the Windows version's callers knew, so a
// value in a message or a log means the same thing on both.
inline constexpr int kWaveOk = 0;
inline constexpr int kWaveErrNoDevice = 2;    // no such device, or it vanished
inline constexpr int kWaveErrAllocated = 4;   // another program holds the device
inline constexpr int kWaveErrInvalid = 11;    // a call out of order, or a buffer without room
inline constexpr int kWaveErrBadFormat = 32;  // the device cannot take this format

// One buffer of sound. The owner (the capture engine, the AVI capture) allocates its data and keeps
// it alive, unmoved, from AddBuffer or PrepareBuffer until the device is closed.
struct WaveBuffer {
  uint8_t* data = nullptr;
  uint32_t bufferLength = 0;   // bytes of room; a whole number of the format's blocks
  uint32_t bytesRecorded = 0;  // set by an input when it gives the buffer back
  bool done = false;           // the device holds it no longer

  // A full buffer: what a running input gives back. A reset gives back the buffer being filled
  // with the bytes recorded so far, and the ones still waiting with none.
  bool Full() const { return bytesRecorded == bufferLength; }
};

}  // namespace kelmo
