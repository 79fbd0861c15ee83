#include "audio/linux/AlsaPcm.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "base/Log.h"

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

DeviceError OpenAlsaPcm(const std::string& device, const std::string& named, PcmStream stream,
                        snd_pcm_t*& pcm) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(Quiet); });
  pcm = nullptr;
  const int error =
      snd_pcm_open(&pcm, PlugDeviceName(device).c_str(),
                   stream == PcmStream::Capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                   SND_PCM_NONBLOCK);
  if (error == 0) return DeviceError::Ok();
  pcm = nullptr;
  DeviceError failed = DeviceError::FromErrno(error, named);
  failed.systemText = snd_strerror(error);
  // An unknown name comes back as any of several codes: all mean there is no such device.
  if (failed.kind != DeviceErrorKind::Busy && failed.kind != DeviceErrorKind::Permission)
    failed.kind = DeviceErrorKind::NotPresent;
  return failed;
}

bool AlsaTakesFormat(snd_pcm_t* pcm, const WaveFormatEx& format) {
  return Restricted(pcm, format) != nullptr;
}

DeviceError InstallAlsaFormat(snd_pcm_t* pcm, const std::string& named, const WaveFormatEx& format,
                              unsigned long periodFrames, unsigned periods) {
  HwParams params = Restricted(pcm, format);
  if (!params) return {DeviceErrorKind::FormatNotSupported, named, "the sample format was refused"};
  snd_pcm_uframes_t period = periodFrames;
  snd_pcm_uframes_t ring = periodFrames * periods;
  int dir = 0;
  // The sizes are wishes: a card that cannot meet them gets its nearest, and reads still fill
  // whole buffers.
  snd_pcm_hw_params_set_period_size_near(pcm, params.get(), &period, &dir);
  snd_pcm_hw_params_set_buffer_size_near(pcm, params.get(), &ring);
  if (const int rc = snd_pcm_hw_params(pcm, params.get()); rc < 0)
    return {DeviceErrorKind::FormatNotSupported, named, snd_strerror(rc)};
  unsigned rate = 0;
  snd_pcm_hw_params_get_rate(params.get(), &rate, &dir);
  snd_pcm_hw_params_get_period_size(params.get(), &period, &dir);
  snd_pcm_hw_params_get_buffer_size(params.get(), &ring);
  LogInfo("audio", "%s opened: %u Hz, %s, %u channel(s), period %lu frames, buffer %lu frames",
          named.c_str(), rate, format.wBitsPerSample == 8 ? "U8" : "S16_LE", format.nChannels,
          static_cast<unsigned long>(period), static_cast<unsigned long>(ring));
  return DeviceError::Ok();
}

bool AlsaHasCaptureDevice(const std::string& device) {
  snd_pcm_t* pcm = nullptr;
  const DeviceError result = OpenAlsaPcm(device, device, PcmStream::Capture, pcm);
  if (pcm != nullptr) snd_pcm_close(pcm);
  return result.ok() || result.kind == DeviceErrorKind::Busy;
}

}  // namespace kelmo
