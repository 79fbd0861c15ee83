#pragma once

#include <vector>

#include "audio/WaveFormat.h"
#include "audio/WaveOutput.h"

// ALSA's handle, declared as its own header declares it: only the .cpp files include ALSA.
typedef struct _snd_pcm snd_pcm_t;

namespace kelmo {

// The sound card's playback device through ALSA's plug layer, opened and held in a format.
class AlsaWaveOutput final : public WaveOutput {
 public:
  explicit AlsaWaveOutput(std::string device) : device(std::move(device)) {}
  ~AlsaWaveOutput() override { Close(); }

  std::string Name() const override { return "ALSA playback \"" + device + "\""; }
  DeviceError Open(std::span<const uint8_t> format) override;
  DeviceError PrepareBuffer(WaveBuffer& buffer) override;
  void Reset() override;
  void Close() override;

 private:
  const std::string device;
  snd_pcm_t* pcm = nullptr;
  WaveFormatEx format;
  std::vector<WaveBuffer*> prepared;
};

}  // namespace kelmo
