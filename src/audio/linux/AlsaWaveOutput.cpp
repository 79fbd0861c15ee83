#include "audio/linux/AlsaWaveOutput.h"

#include "audio/linux/AlsaPcm.h"

namespace kelmo {

namespace {

// The ring of a held output: a tenth of a second in a few periods; nothing is ever played.
constexpr unsigned kPeriods = 4;

}  // namespace

int AlsaWaveOutput::Open(std::span<const uint8_t> block) {
  if (pcm != nullptr) return kWaveErrInvalid;
  const auto parsed = WaveFormatEx::FromBytes(block);
  if (!parsed || !IsPlainPcm(*parsed)) return kWaveErrBadFormat;
  const int opened = OpenAlsaPcm(device, SND_PCM_STREAM_PLAYBACK, pcm);
  if (opened != kWaveOk) return opened;
  const int installed =
      InstallAlsaFormat(pcm, *parsed, parsed->nSamplesPerSec / 10 / kPeriods + 1, kPeriods);
  if (installed != kWaveOk) {
    snd_pcm_close(pcm);
    pcm = nullptr;
    return installed;
  }
  format = *parsed;
  return kWaveOk;
}

int AlsaWaveOutput::PrepareBuffer(WaveBuffer& buffer) {
  if (pcm == nullptr || buffer.data == nullptr || buffer.bufferLength == 0 ||
      buffer.bufferLength % format.nBlockAlign != 0) {
    return kWaveErrInvalid;
  }
  buffer.done = false;
  prepared.push_back(&buffer);
  return kWaveOk;
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
