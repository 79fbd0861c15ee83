#pragma once

#include <span>
#include <string>

#include "audio/WaveDevice.h"

namespace kelmo {

// A sound output: the sound card's playback device, or a model of it. The capture engine opens it
// with the capture format and holds it, with its buffers prepared, while it captures, so that a
// start fails when the output cannot take that format; it plays nothing. One owner at a time; all
// calls on the owner's thread (the user-interface thread).
class WaveOutput {
 public:
  virtual ~WaveOutput() = default;

  // Which device serves, for the start-up report and the About box.
  virtual std::string Name() const = 0;

  // Opens the device to play `format` (a WAVEFORMATEX block). Busy when another program holds
  // it; FormatNotSupported when it cannot play the format; NotPresent when it does not exist;
  // Permission when the user may not open it; Io when already open.
  virtual DeviceError Open(std::span<const uint8_t> format) = 0;

  // Makes `buffer` ready to be played. Io when the output is not open or the buffer has no data,
  // no room, or a length that is not a whole number of blocks.
  virtual DeviceError PrepareBuffer(WaveBuffer& buffer) = 0;

  // Stops playing and marks every buffer done. Nothing when not open.
  virtual void Reset() = 0;

  // Resets and releases the device. Nothing when not open.
  virtual void Close() = 0;
};

}  // namespace kelmo
