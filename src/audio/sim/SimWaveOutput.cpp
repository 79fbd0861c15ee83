#include "audio/sim/SimWaveOutput.h"

namespace kelmo {

namespace {

// How messages and the log name the device.
constexpr const char* kDevice = "The simulated sound output";

}  // namespace

DeviceError SimWaveOutput::Open(std::span<const uint8_t> block) {
  if (open) return {DeviceErrorKind::Io, kDevice, "already open"};
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed))
    return {DeviceErrorKind::FormatNotSupported, kDevice, "not a plain PCM format"};
  format = *parsed;
  open = true;
  return DeviceError::Ok();
}

DeviceError SimWaveOutput::PrepareBuffer(WaveBuffer& buffer) {
  if (!open || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return {DeviceErrorKind::Io, kDevice, "the buffer cannot be prepared now"};
  }
  buffer.done = false;
  prepared.push_back(&buffer);
  return DeviceError::Ok();
}

void SimWaveOutput::Reset() {
  for (WaveBuffer* buffer : prepared) buffer->done = true;
}

void SimWaveOutput::Close() {
  if (!open) return;
  Reset();
  prepared.clear();
  open = false;
}

}  // namespace kelmo
