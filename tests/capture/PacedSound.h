#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "audio/WaveFormat.h"
#include "audio/WaveInput.h"
#include "platform/Clock.h"

namespace kelmo::test {

// A wave input for the capture tests: silence, as many sample frames as the clock's time since
// Start holds, given back in full buffers on a reader thread of its own; Reset gives back the
// buffer being filled with what it holds. `busy` refuses Open as a device held elsewhere.
class PacedSound final : public WaveInput {
 public:
  explicit PacedSound(Clock& clock) : clock(clock) {}
  ~PacedSound() override { Close(); }

  std::string Name() const override { return "paced test sound"; }
  bool SupportsFormat(std::span<const uint8_t> block) override {
    const auto f = WaveFormatEx::FromBytes(block);
    return f && IsPlainPcm(*f);
  }
  int Open(std::span<const uint8_t> block, WaveInputCallback& cb) override {
    if (busy) return kWaveErrAllocated;
    const auto f = WaveFormatEx::FromBytes(block);
    if (!f || !IsPlainPcm(*f)) return kWaveErrBadFormat;
    format = *f;
    callback = &cb;
    return kWaveOk;
  }
  int AddBuffer(WaveBuffer& buffer) override {
    std::lock_guard lock(mutex);
    if (callback == nullptr || resetting) return kWaveErrInvalid;
    buffer.bytesRecorded = 0;
    buffer.done = false;
    queue.push_back(&buffer);
    return kWaveOk;
  }
  int Start() override {
    if (callback == nullptr) return kWaveErrInvalid;
    startMs = clock.MonotonicMilliseconds();
    framesDone = 0;
    stop = false;
    reader = std::thread([this] { Run(); });
    return kWaveOk;
  }
  void Reset() override {
    if (!reader.joinable()) return;
    stop = true;
    reader.join();
    std::unique_lock lock(mutex);
    resetting = true;
    while (!queue.empty()) {
      WaveBuffer* b = queue.front();
      queue.pop_front();
      b->done = true;
      lock.unlock();
      callback->OnWaveInputData(*b);
      lock.lock();
    }
    resetting = false;
  }
  void Close() override {
    Reset();
    callback = nullptr;
  }

  bool busy = false;

 private:
  void Run() {
    while (!stop) {
      const uint64_t due = static_cast<uint64_t>(clock.MonotonicMilliseconds() - startMs) *
                           format.nSamplesPerSec / 1000;
      std::unique_lock lock(mutex);
      while (framesDone < due && !queue.empty()) {
        WaveBuffer* b = queue.front();
        const uint32_t room = (b->bufferLength - b->bytesRecorded) / format.nBlockAlign;
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(room, due - framesDone));
        std::fill_n(b->data + b->bytesRecorded, n * format.nBlockAlign, uint8_t{0});
        b->bytesRecorded += n * format.nBlockAlign;
        framesDone += n;
        if (!b->Full()) break;
        queue.pop_front();
        b->done = true;
        lock.unlock();
        callback->OnWaveInputData(*b);
        lock.lock();
      }
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  Clock& clock;
  WaveFormatEx format;
  WaveInputCallback* callback = nullptr;
  std::mutex mutex;
  std::deque<WaveBuffer*> queue;
  std::thread reader;
  std::atomic<bool> stop{false};
  bool resetting = false;
  int64_t startMs = 0;
  uint64_t framesDone = 0;
};

}  // namespace kelmo::test
