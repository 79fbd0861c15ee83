#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/WaveInput.h"

namespace kelmo::test {

// Six 4000-byte buffers, given back to the input as the capture engine does; records what came.
class WaveReceiver final : public WaveInputCallback {
 public:
  explicit WaveReceiver(WaveInput& input) : input(input) {
    for (std::size_t i = 0; i < buffers.size(); ++i) {
      areas[i].resize(4000);
      buffers[i].data = areas[i].data();
      buffers[i].bufferLength = 4000;
    }
  }

  // False when the input refused one.
  bool QueueAll() {
    for (WaveBuffer& b : buffers) {
      if (!input.AddBuffer(b).ok()) return false;
    }
    return true;
  }

  void OnWaveInputData(WaveBuffer& buffer) override {
    std::lock_guard lock(mutex);
    recorded.push_back(buffer.bytesRecorded);
    if (buffer.Full()) {
      bytes.insert(bytes.end(), buffer.data, buffer.data + buffer.bytesRecorded);
      (void)input.AddBuffer(buffer);
    }
    arrived.notify_all();
  }

  bool WaitForFull(std::size_t count) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, std::chrono::seconds(10),
                            [&] { return bytes.size() >= count * 4000; });
  }

  WaveInput& input;
  std::array<std::vector<uint8_t>, 6> areas;
  std::array<WaveBuffer, 6> buffers;
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<uint32_t> recorded;  // bytesRecorded of every buffer given back
  std::vector<uint8_t> bytes;      // the full buffers' samples, in order
};

}  // namespace kelmo::test
