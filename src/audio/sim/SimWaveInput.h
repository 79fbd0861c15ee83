#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "audio/WaveInput.h"
#include "audio/sim/SimSoundModel.h"
#include "platform/Clock.h"

namespace kelmo {

// Fault switches of the simulated sound card, from the environment.
struct SimAudioSwitches {
  // KELMO_SIM_AUDIO_FAIL=busy (also KELMO_SIM_AUDIO_BUSY=1): another program holds the input;
  // =missing: there is no such device; =format: it records no format; =permission: the user may
  // not open it; =io: it opens but fails to start.
  DeviceErrorKind fail = DeviceErrorKind::None;

  static SimAudioSwitches FromEnvironment();
};

// A model of a sound card's capture device that hears the simulated card (SimSoundModel). Paced by
// the clock: it delivers exactly the sample frames of the time that has passed since Start (22050
// frames a second at 22050 Hz), in real time with the system clock and as a test advances the
// manual clock. Reset first delivers everything the clock has made due, so a recording of N
// seconds of manual time holds N seconds of sound. Frames that come due while no buffer is queued
// are lost, as on a sound card whose buffers overrun.
class SimWaveInput final : public WaveInput {
 public:
  // `query` asks what the simulated card receives; false when no simulated card answers.
  using CardQuery = std::function<bool(KelmoSimCardState&)>;

  SimWaveInput(Clock& clock, CardQuery query, SimAudioSwitches switches = {});
  ~SimWaveInput() override;

  std::string Name() const override { return "simulated"; }
  bool SupportsFormat(std::span<const uint8_t> format) override;
  DeviceError Open(std::span<const uint8_t> format, WaveInputCallback& callback) override;
  DeviceError AddBuffer(WaveBuffer& buffer) override;
  DeviceError Start() override;
  void Reset() override;
  void Close() override;

 private:
  void Run();
  void DeliverDue(std::unique_lock<std::mutex>& lock);
  void GiveBack(std::unique_lock<std::mutex>& lock, WaveBuffer& buffer);

  Clock& clock;
  CardQuery query;
  SimAudioSwitches switches;

  std::mutex mutex;
  std::condition_variable wake;
  std::deque<WaveBuffer*> queue;
  std::thread reader;
  WaveInputCallback* callback = nullptr;
  WaveFormatEx format;
  bool open = false;
  bool running = false;
  bool stopping = false;
  bool resetting = false;
  int64_t startMs = 0;
  uint64_t framesDone = 0;  // frames delivered or lost since Start
  SimSoundModel model;
};

}  // namespace kelmo
