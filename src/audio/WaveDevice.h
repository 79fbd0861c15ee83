#pragma once

#include <cstdint>

#include "base/DeviceError.h"

namespace kelmo {

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
