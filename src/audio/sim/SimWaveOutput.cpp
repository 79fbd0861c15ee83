#include "audio/sim/SimWaveOutput.h"

namespace kelmo {

int SimWaveOutput::Open(std::span<const uint8_t> block) {
  if (open) return kWaveErrInvalid;
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed)) return kWaveErrBadFormat;
  format = *parsed;
  open = true;
  return kWaveOk;
}

int SimWaveOutput::PrepareBuffer(WaveBuffer& buffer) {
  if (!open || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return kWaveErrInvalid;
  }
  buffer.done = false;
  prepared.push_back(&buffer);
  return kWaveOk;
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
