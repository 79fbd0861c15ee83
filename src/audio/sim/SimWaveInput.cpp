#include "audio/sim/SimWaveInput.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace kelmo {

namespace {

// How often the reader looks at the clock. It only bounds how late a frame may come: the count
// of frames follows the clock, not this wait.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

}  // namespace

SimAudioSwitches SimAudioSwitches::FromEnvironment() {
  SimAudioSwitches s;
  const char* busy = std::getenv("KELMO_SIM_AUDIO_BUSY");
  s.busy = busy != nullptr && std::strcmp(busy, "1") == 0;
  return s;
}

SimWaveInput::SimWaveInput(Clock& clock, CardQuery query, SimAudioSwitches switches)
    : clock(clock), query(std::move(query)), switches(switches) {}

SimWaveInput::~SimWaveInput() { Close(); }

bool SimWaveInput::SupportsFormat(std::span<const uint8_t> block) {
  const auto parsed = WaveFormatEx::FromBytes(block);
  return parsed && IsPlainPcm(*parsed);
}

int SimWaveInput::Open(std::span<const uint8_t> block, WaveInputCallback& receiver) {
  std::lock_guard lock(mutex);
  if (open) return kWaveErrInvalid;
  if (switches.busy) return kWaveErrAllocated;
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed)) return kWaveErrBadFormat;
  format = *parsed;
  callback = &receiver;
  open = true;
  return kWaveOk;
}

int SimWaveInput::AddBuffer(WaveBuffer& buffer) {
  std::lock_guard lock(mutex);
  if (!open || resetting || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return kWaveErrInvalid;
  }
  buffer.bytesRecorded = 0;
  buffer.done = false;
  queue.push_back(&buffer);
  wake.notify_all();
  return kWaveOk;
}

int SimWaveInput::Start() {
  std::lock_guard lock(mutex);
  if (!open) return kWaveErrInvalid;
  if (running) return kWaveOk;
  running = true;
  stopping = false;
  startMs = clock.MonotonicMilliseconds();
  framesDone = 0;
  reader = std::thread([this] { Run(); });
  return kWaveOk;
}

void SimWaveInput::Reset() {
  {
    std::lock_guard lock(mutex);
    if (!running) return;
    stopping = true;
  }
  wake.notify_all();
  reader.join();
  std::lock_guard lock(mutex);
  running = false;
  stopping = false;
  resetting = false;
}

void SimWaveInput::Close() {
  Reset();
  std::lock_guard lock(mutex);
  queue.clear();
  open = false;
  callback = nullptr;
}

void SimWaveInput::Run() {
  std::unique_lock lock(mutex);
  while (true) {
    // The last pass starts once the stop is known, so it reaches the frames due at the stop even
    // when the stop came while an earlier pass was still handing buffers back.
    const bool last = stopping;
    DeliverDue(lock);
    if (last) break;
    wake.wait_for(lock, kPollInterval);
  }
  // Everything due is delivered: what is still queued goes back as it is.
  resetting = true;
  while (!queue.empty()) {
    WaveBuffer* buffer = queue.front();
    queue.pop_front();
    GiveBack(lock, *buffer);
  }
}

void SimWaveInput::DeliverDue(std::unique_lock<std::mutex>& lock) {
  const int64_t elapsedMs = std::max<int64_t>(0, clock.MonotonicMilliseconds() - startMs);
  const uint64_t due = static_cast<uint64_t>(elapsedMs) * format.nSamplesPerSec / 1000;
  while (framesDone < due) {
    if (queue.empty()) {
      framesDone = due;  // no buffer to fill: those frames are lost
      return;
    }
    WaveBuffer& buffer = *queue.front();
    const uint32_t room = (buffer.bufferLength - buffer.bytesRecorded) / format.nBlockAlign;
    const auto frames = static_cast<uint32_t>(std::min<uint64_t>(room, due - framesDone));
    KelmoSimCardState card{};
    const bool answered = query && query(card);
    model.Generate(SimSoundModel::SoundOf(answered ? &card : nullptr), format,
                   buffer.data + buffer.bytesRecorded, frames);
    buffer.bytesRecorded += frames * format.nBlockAlign;
    framesDone += frames;
    if (buffer.Full()) {
      queue.pop_front();
      GiveBack(lock, buffer);
    }
  }
}

void SimWaveInput::GiveBack(std::unique_lock<std::mutex>& lock, WaveBuffer& buffer) {
  buffer.done = true;
  WaveInputCallback* receiver = callback;
  lock.unlock();
  receiver->OnWaveInputData(buffer);
  lock.lock();
}

}  // namespace kelmo
