#include "audio/linux/AlsaWaveInput.h"

#include <alsa/asoundlib.h>
#include <pthread.h>
#include <sched.h>

#include <cerrno>

#include "audio/linux/AlsaPcm.h"
#include "base/Log.h"

namespace kelmo {

namespace {

// How long one wait for samples may last before the reader looks at the stop flag again.
constexpr int kWaitMs = 20;
// The ring the card fills holds this many of the engine's buffers.
constexpr unsigned kRingPeriods = 6;

bool AskRealTimePriority() {
  sched_param param{};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

}  // namespace

AlsaWaveInput::~AlsaWaveInput() { Close(); }

bool AlsaWaveInput::SupportsFormat(std::span<const uint8_t> block) {
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed)) return false;
  std::lock_guard owner(ownerMutex);
  if (pcm != nullptr) return AlsaTakesFormat(pcm, *parsed);
  snd_pcm_t* probe = nullptr;
  const DeviceError opened = OpenAlsaPcm(device, Name(), PcmStream::Capture, probe);
  // Held by another program: the plug layer converts any plain PCM, so the chooser still offers
  // it; whether the device is free again is the recording's own open to tell.
  if (opened.kind == DeviceErrorKind::Busy) return true;
  if (!opened.ok()) return false;
  const bool takes = AlsaTakesFormat(probe, *parsed);
  snd_pcm_close(probe);
  return takes;
}

DeviceError AlsaWaveInput::Open(std::span<const uint8_t> block, WaveInputCallback& receiver) {
  std::lock_guard owner(ownerMutex);
  if (pcm != nullptr) return {DeviceErrorKind::Io, Name(), "already open"};
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed))
    return {DeviceErrorKind::FormatNotSupported, Name(), "not a plain PCM format"};
  if (DeviceError opened = OpenAlsaPcm(device, Name(), PcmStream::Capture, pcm); !opened.ok())
    return opened;
  if (!AlsaTakesFormat(pcm, *parsed)) {
    snd_pcm_close(pcm);
    pcm = nullptr;
    return {DeviceErrorKind::FormatNotSupported, Name(), "the sample format was refused"};
  }
  format = *parsed;
  callback = &receiver;
  return DeviceError::Ok();
}

DeviceError AlsaWaveInput::AddBuffer(WaveBuffer& buffer) {
  std::lock_guard lock(mutex);
  if (pcm == nullptr || resetting || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return {DeviceErrorKind::Io, Name(), "the buffer cannot be queued now"};
  }
  buffer.bytesRecorded = 0;
  buffer.done = false;
  queue.push_back(&buffer);
  queued.notify_all();
  return DeviceError::Ok();
}

DeviceError AlsaWaveInput::Start() {
  if (pcm == nullptr) return {DeviceErrorKind::Io, Name(), "not open"};
  if (reader.joinable()) return DeviceError::Ok();
  snd_pcm_uframes_t period = 4000 / format.nBlockAlign;
  {
    std::lock_guard lock(mutex);
    if (!queue.empty()) period = queue.front()->bufferLength / format.nBlockAlign;
  }
  if (DeviceError installed = InstallAlsaFormat(pcm, Name(), format, period, kRingPeriods);
      !installed.ok())
    return installed;
  int rc = snd_pcm_prepare(pcm);
  if (rc >= 0) rc = snd_pcm_start(pcm);
  if (rc < 0) {
    DeviceError failed = DeviceError::FromErrno(rc, Name());
    failed.systemText = snd_strerror(rc);
    return failed;
  }
  stopping = false;
  reader = std::thread([this] { Run(); });
  return DeviceError::Ok();
}

void AlsaWaveInput::Reset() {
  if (!reader.joinable()) return;
  stopping = true;
  queued.notify_all();
  reader.join();
  snd_pcm_drop(pcm);
  std::lock_guard lock(mutex);
  resetting = false;
}

void AlsaWaveInput::Close() {
  std::lock_guard owner(ownerMutex);
  if (pcm == nullptr) return;
  Reset();
  snd_pcm_close(pcm);
  pcm = nullptr;
  std::lock_guard lock(mutex);
  queue.clear();
  callback = nullptr;
}

void AlsaWaveInput::Run() {
  realTime = AskRealTimePriority();
  while (WaveBuffer* buffer = NextBuffer()) {
    if (!Fill(*buffer)) break;
    {
      std::lock_guard lock(mutex);
      queue.pop_front();
    }
    GiveBack(*buffer);
  }
  // Stopped: every buffer still queued goes back as it is, the one being filled partly filled.
  std::unique_lock lock(mutex);
  resetting = true;
  while (!queue.empty()) {
    WaveBuffer* buffer = queue.front();
    queue.pop_front();
    lock.unlock();
    GiveBack(*buffer);
    lock.lock();
  }
}

WaveBuffer* AlsaWaveInput::NextBuffer() {
  std::unique_lock lock(mutex);
  // With no buffer queued the card's ring overruns; the read after it recovers.
  queued.wait(lock, [this] { return stopping.load() || !queue.empty(); });
  return stopping ? nullptr : queue.front();
}

bool AlsaWaveInput::Fill(WaveBuffer& buffer) {
  while (!buffer.Full()) {
    if (stopping) return false;
    const snd_pcm_uframes_t wanted =
        (buffer.bufferLength - buffer.bytesRecorded) / format.nBlockAlign;
    snd_pcm_sframes_t got = snd_pcm_readi(pcm, buffer.data + buffer.bytesRecorded, wanted);
    if (got == -EAGAIN) {
      snd_pcm_wait(pcm, kWaitMs);
      continue;
    }
    if (got < 0) {
      // An overrun loses the samples it lost; anything the device cannot recover from ends the
      // capture as a stop would.
      const int rc = static_cast<int>(got);
      if (snd_pcm_recover(pcm, rc, 1) < 0 || snd_pcm_start(pcm) < 0) {
        LogError("audio", "%s stopped: %s; the capture ends here", Name().c_str(),
                 snd_strerror(rc));
        return false;
      }
      LogWarning("audio", "%s: %s (%s), recovered: the samples of that moment are lost",
                 Name().c_str(), rc == -EPIPE ? "overrun" : "read failed", snd_strerror(rc));
      continue;
    }
    buffer.bytesRecorded += static_cast<uint32_t>(got) * format.nBlockAlign;
  }
  return true;
}

void AlsaWaveInput::GiveBack(WaveBuffer& buffer) {
  buffer.done = true;
  callback->OnWaveInputData(buffer);
}

}  // namespace kelmo
