#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio/WaveDevice.h"

namespace kelmo {

// Receives the buffers a wave input gives back.
class WaveInputCallback {
 public:
  virtual ~WaveInputCallback() = default;

  // The input's reader thread, one buffer at a time, in the order the buffers were queued. A
  // running input gives back full buffers only; Reset gives back every buffer still queued, partly
  // filled or empty. The callee may queue the buffer again with AddBuffer from inside this call
  // (refused while the input is being reset). It must not call Start, Reset or Close.
  virtual void OnWaveInputData(WaveBuffer& buffer) = 0;
};

// A sound input: the sound card's capture device, or a model of it. One owner at a time: the
// capture engine, or the AVI capture. The caller chooses the format and the size and count of the
// buffers. Every method but AddBuffer is called on one thread, the owner's (the user-interface
// thread, or the AVI capture's thread while a capture holds the input); AddBuffer also from inside
// the callback. SupportsFormat, and an Open that the device refuses because it is held, are safe
// from any thread.
//
// Life: Open, AddBuffer (any number), Start, ... Reset, (AddBuffer, Start, Reset again), Close.
class WaveInput {
 public:
  virtual ~WaveInput() = default;

  // Which device serves, for the start-up report and the About box.
  virtual std::string Name() const = 0;

  // Whether the device can record `format` (a WAVEFORMATEX block, WaveFormat.h), asked without
  // opening it for long; for the format chooser. A device another program holds answers as well
  // as it can without opening it, never "nothing". False for a block that is not a valid format.
  virtual bool SupportsFormat(std::span<const uint8_t> format) = 0;

  // Opens the device to record in `format`; `callback` receives the buffers. Busy when another
  // program holds the device; FormatNotSupported when it cannot record the format; NotPresent
  // when it does not exist; Permission when the user may not open it; Io when already open.
  virtual DeviceError Open(std::span<const uint8_t> format, WaveInputCallback& callback) = 0;

  // Queues `buffer` to be filled (bytesRecorded and done are cleared). Io when the input is not
  // open, is being reset, or the buffer has no data or room.
  virtual DeviceError AddBuffer(WaveBuffer& buffer) = 0;

  // Starts recording on the input's own reader thread, which asks for real-time priority and goes
  // on without it when refused. The device's kind of failure when it will not start (its sample
  // format refused, the device gone); Io when not open. Logs what the device settled on.
  virtual DeviceError Start() = 0;

  // Stops recording, gives back every queued buffer through the callback (see there), and returns
  // when the reader thread has ended: after Reset no callback runs. Nothing when not running.
  virtual void Reset() = 0;

  // Resets when needed and releases the device. Nothing when not open.
  virtual void Close() = 0;
};

}  // namespace kelmo
