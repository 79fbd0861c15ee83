#include "audio/linux/AlsaPcm.h"

#include <cerrno>
#include <memory>
#include <mutex>

#include "audio/WaveDevice.h"

namespace kelmo {

namespace {

struct HwParamsDeleter {
  void operator()(snd_pcm_hw_params_t* p) const { snd_pcm_hw_params_free(p); }
};
using HwParams = std::unique_ptr<snd_pcm_hw_params_t, HwParamsDeleter>;

// ALSA prints its own complaints on stderr (an unknown device name, for one); the program reports
// what matters itself.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

HwParams Restricted(snd_pcm_t* pcm, const WaveFormatEx& format) {
  if (!IsPlainPcm(format)) return nullptr;
  snd_pcm_hw_params_t* raw = nullptr;
  if (snd_pcm_hw_params_malloc(&raw) < 0) return nullptr;
  HwParams params(raw);
  const snd_pcm_format_t sampleFormat =
      format.wBitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
  if (snd_pcm_hw_params_any(pcm, raw) < 0 ||
      snd_pcm_hw_params_set_access(pcm, raw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
      snd_pcm_hw_params_set_format(pcm, raw, sampleFormat) < 0 ||
      snd_pcm_hw_params_set_channels(pcm, raw, format.nChannels) < 0 ||
      snd_pcm_hw_params_set_rate(pcm, raw, format.nSamplesPerSec, 0) < 0) {
    return nullptr;
  }
  return params;
}

}  // namespace

std::string PlugDeviceName(const std::string& device) { return "plug:'" + device + "'"; }

int OpenAlsaPcm(const std::string& device, snd_pcm_stream_t stream, snd_pcm_t*& pcm) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(Quiet); });
  pcm = nullptr;
  const int error = snd_pcm_open(&pcm, PlugDeviceName(device).c_str(), stream, SND_PCM_NONBLOCK);
  if (error == 0) return kWaveOk;
  pcm = nullptr;
  return error == -EBUSY || error == -EAGAIN ? kWaveErrAllocated : kWaveErrNoDevice;
}

bool AlsaTakesFormat(snd_pcm_t* pcm, const WaveFormatEx& format) {
  return Restricted(pcm, format) != nullptr;
}

int InstallAlsaFormat(snd_pcm_t* pcm, const WaveFormatEx& format, snd_pcm_uframes_t periodFrames,
                      unsigned periods) {
  HwParams params = Restricted(pcm, format);
  if (!params) return kWaveErrBadFormat;
  snd_pcm_uframes_t period = periodFrames;
  snd_pcm_uframes_t ring = periodFrames * periods;
  int dir = 0;
  // The sizes are wishes: a card that cannot meet them gets its nearest, and reads still fill
  // whole buffers.
  snd_pcm_hw_params_set_period_size_near(pcm, params.get(), &period, &dir);
  snd_pcm_hw_params_set_buffer_size_near(pcm, params.get(), &ring);
  return snd_pcm_hw_params(pcm, params.get()) < 0 ? kWaveErrBadFormat : kWaveOk;
}

bool AlsaHasCaptureDevice(const std::string& device) {
  snd_pcm_t* pcm = nullptr;
  const int result = OpenAlsaPcm(device, SND_PCM_STREAM_CAPTURE, pcm);
  if (pcm != nullptr) snd_pcm_close(pcm);
  return result == kWaveOk || result == kWaveErrAllocated;
}

}  // namespace kelmo
