#include "audio/sim/SimWaveInput.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/Log.h"

namespace kelmo {

namespace {

// How messages and the log name the device.
constexpr const char* kDevice = "The simulated sound input";

// How often the reader looks at the clock. It only bounds how late a frame may come: the count
// of frames follows the clock, not this wait.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

}  // namespace

SimAudioSwitches SimAudioSwitches::FromEnvironment() {
  SimAudioSwitches s;
  const char* busy = std::getenv("KELMO_SIM_AUDIO_BUSY");
  if (busy != nullptr && std::strcmp(busy, "1") == 0) s.fail = DeviceErrorKind::Busy;
  static constexpr std::pair<const char*, DeviceErrorKind> kFaults[] = {
      {"busy", DeviceErrorKind::Busy},
      {"missing", DeviceErrorKind::NotPresent},
      {"format", DeviceErrorKind::FormatNotSupported},
      {"permission", DeviceErrorKind::Permission},
      {"io", DeviceErrorKind::Io}};
  if (const char* fail = std::getenv("KELMO_SIM_AUDIO_FAIL"))
    for (const auto& [name, kind] : kFaults)
      if (std::strcmp(fail, name) == 0) s.fail = kind;
  return s;
}

SimWaveInput::SimWaveInput(Clock& clock, CardQuery query, SimAudioSwitches switches)
    : clock(clock), query(std::move(query)), switches(switches) {}

SimWaveInput::~SimWaveInput() { Close(); }

bool SimWaveInput::SupportsFormat(std::span<const uint8_t> block) {
  const auto parsed = WaveFormatEx::FromBytes(block);
  return parsed && IsPlainPcm(*parsed);
}

DeviceError SimWaveInput::Open(std::span<const uint8_t> block, WaveInputCallback& receiver) {
  std::lock_guard lock(mutex);
  if (open) return {DeviceErrorKind::Io, kDevice, "already open"};
  // An I/O fault lets it open and fails the start.
  if (switches.fail != DeviceErrorKind::Io) {
    if (DeviceError e = DeviceError::OfKind(switches.fail, kDevice); !e.ok()) return e;
  }
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed))
    return {DeviceErrorKind::FormatNotSupported, kDevice, "not a plain PCM format"};
  format = *parsed;
  callback = &receiver;
  open = true;
  return DeviceError::Ok();
}

DeviceError SimWaveInput::AddBuffer(WaveBuffer& buffer) {
  std::lock_guard lock(mutex);
  if (!open || resetting || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return {DeviceErrorKind::Io, kDevice, "the buffer cannot be queued now"};
  }
  buffer.bytesRecorded = 0;
  buffer.done = false;
  queue.push_back(&buffer);
  wake.notify_all();
  return DeviceError::Ok();
}

DeviceError SimWaveInput::Start() {
  std::lock_guard lock(mutex);
  if (!open) return {DeviceErrorKind::Io, kDevice, "not open"};
  if (switches.fail == DeviceErrorKind::Io) return DeviceError::OfKind(switches.fail, kDevice);
  if (running) return DeviceError::Ok();
  running = true;
  stopping = false;
  startMs = clock.MonotonicMilliseconds();
  framesDone = 0;
  reader = std::thread([this] { Run(); });
  LogInfo("audio", "%s started: %u Hz, %u bits, %u channel(s)", kDevice, format.nSamplesPerSec,
          format.wBitsPerSample, format.nChannels);
  return DeviceError::Ok();
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
