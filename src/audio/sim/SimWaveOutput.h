#pragma once

#include <vector>

#include "audio/WaveFormat.h"
#include "audio/WaveOutput.h"

namespace kelmo {

// A model of a sound card's playback device: it takes the plain PCM formats a sound card plays and
// holds its prepared buffers until reset. It plays nothing, as the capture engine never writes.
class SimWaveOutput final : public WaveOutput {
 public:
  std::string Name() const override { return "simulated"; }
  DeviceError Open(std::span<const uint8_t> format) override;
  DeviceError PrepareBuffer(WaveBuffer& buffer) override;
  void Reset() override;
  void Close() override;

 private:
  bool open = false;
  std::vector<WaveBuffer*> prepared;
  WaveFormatEx format;
};

}  // namespace kelmo
