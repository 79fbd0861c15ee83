#include "audio/linux/AlsaWaveOutput.h"

#include <alsa/asoundlib.h>

#include "audio/linux/AlsaPcm.h"

namespace kelmo {

namespace {

// The ring of a held output: a tenth of a second in a few periods; nothing is ever played.
constexpr unsigned kPeriods = 4;

}  // namespace

DeviceError AlsaWaveOutput::Open(std::span<const uint8_t> block) {
  if (pcm != nullptr) return {DeviceErrorKind::Io, Name(), "already open"};
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed))
    return {DeviceErrorKind::FormatNotSupported, Name(), "not a plain PCM format"};
  if (DeviceError opened = OpenAlsaPcm(device, Name(), PcmStream::Playback, pcm); !opened.ok())
    return opened;
  DeviceError installed =
      InstallAlsaFormat(pcm, Name(), *parsed, parsed->nSamplesPerSec / 10 / kPeriods + 1, kPeriods);
  if (!installed.ok()) {
    snd_pcm_close(pcm);
    pcm = nullptr;
    return installed;
  }
  format = *parsed;
  return DeviceError::Ok();
}

DeviceError AlsaWaveOutput::PrepareBuffer(WaveBuffer& buffer) {
  if (pcm == nullptr || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return {DeviceErrorKind::Io, Name(), "the buffer cannot be prepared now"};
  }
  buffer.done = false;
  prepared.push_back(&buffer);
  return DeviceError::Ok();
}

void AlsaWaveOutput::Reset() {
  if (pcm == nullptr) return;
  snd_pcm_drop(pcm);
  for (WaveBuffer* buffer : prepared) buffer->done = true;
}

void AlsaWaveOutput::Close() {
  if (pcm == nullptr) return;
  Reset();
  prepared.clear();
  snd_pcm_close(pcm);
  pcm = nullptr;
}

}  // namespace kelmo
