#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "audio/WaveFormat.h"
#include "audio/WaveInput.h"

// ALSA's handle, declared as its own header declares it: only the .cpp files include ALSA.
typedef struct _snd_pcm snd_pcm_t;

namespace kelmo {

// The sound card's capture device through ALSA's plug layer. A reader thread of its own, at
// real-time priority when the system grants it, fills the queued buffers in order and hands each
// full one to the callback.
class AlsaWaveInput final : public WaveInput {
 public:
  explicit AlsaWaveInput(std::string device) : device(std::move(device)) {}
  ~AlsaWaveInput() override;

  std::string Name() const override { return "ALSA capture \"" + device + "\""; }
  bool SupportsFormat(std::span<const uint8_t> format) override;
  DeviceError Open(std::span<const uint8_t> format, WaveInputCallback& callback) override;
  DeviceError AddBuffer(WaveBuffer& buffer) override;
  DeviceError Start() override;
  void Reset() override;
  void Close() override;

  // Whether the reader thread of the last Start got real-time priority.
  bool RealTime() const { return realTime.load(); }

 private:
  void Run();
  WaveBuffer* NextBuffer();
  // Reads into `buffer` until it is full; false when stopped first or the device failed.
  bool Fill(WaveBuffer& buffer);
  void GiveBack(WaveBuffer& buffer);

  const std::string device;
  // Guards `pcm` between the owner and a caller on another thread: Open from someone who would
  // become the next owner, SupportsFormat from the format chooser.
  std::mutex ownerMutex;
  snd_pcm_t* pcm = nullptr;
  WaveFormatEx format;
  WaveInputCallback* callback = nullptr;

  std::mutex mutex;
  std::condition_variable queued;
  std::deque<WaveBuffer*> queue;
  bool resetting = false;
  std::atomic<bool> stopping{false};
  std::atomic<bool> realTime{false};
  std::thread reader;
};

}  // namespace kelmo
