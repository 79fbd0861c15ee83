#include "audio/linux/AlsaVolumeControl.h"

#include <alsa/asoundlib.h>

#include <algorithm>

#include "base/Log.h"

namespace kelmo {
namespace {

snd_mixer_elem_t* FindPlaybackVolume(snd_mixer_t* mixer) {
  for (const char* name : {"Master", "PCM"}) {
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t* e = snd_mixer_find_selem(mixer, id);
    if (e != nullptr && snd_mixer_selem_has_playback_volume(e)) return e;
  }
  for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
    if (snd_mixer_selem_is_active(e) && snd_mixer_selem_has_playback_volume(e)) return e;
  }
  return nullptr;
}

}  // namespace

AlsaVolumeControl::~AlsaVolumeControl() {
  if (mixer != nullptr) snd_mixer_close(mixer);
}

VolumeResult AlsaVolumeControl::Open() {
  int rc = snd_mixer_open(&mixer, 0);
  if (rc < 0) return {VolumeErrorKind::NoMixer, snd_strerror(rc)};
  if ((rc = snd_mixer_attach(mixer, card.c_str())) < 0 ||
      (rc = snd_mixer_selem_register(mixer, nullptr, nullptr)) < 0 ||
      (rc = snd_mixer_load(mixer)) < 0) {
    snd_mixer_close(mixer);
    mixer = nullptr;
    return {VolumeErrorKind::NoMixer, "mixer " + card + ": " + snd_strerror(rc)};
  }
  element = FindPlaybackVolume(mixer);
  if (element == nullptr) {
    snd_mixer_close(mixer);
    mixer = nullptr;
    return {VolumeErrorKind::NoMixer, "mixer " + card + " has no playback volume"};
  }
  snd_mixer_selem_get_playback_volume_range(element, &low, &high);
  LogInfo("audio", "volume: mixer %s, element %s, range %ld..%ld", card.c_str(),
          snd_mixer_selem_get_name(element), low, high);
  return {};
}

int AlsaVolumeControl::Volume() {
  if (element == nullptr || high <= low) return -1;
  snd_mixer_handle_events(mixer);  // another program may have moved it
  long value = 0;
  if (snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &value) < 0)
    return -1;
  return static_cast<int>(((value - low) * 100 + (high - low) / 2) / (high - low));
}

VolumeResult AlsaVolumeControl::SetVolume(int percent) {
  if (element == nullptr) return {VolumeErrorKind::NoMixer, "no mixer"};
  const long value = low + ((high - low) * std::clamp(percent, 0, 100) + 50) / 100;
  const int rc = snd_mixer_selem_set_playback_volume_all(element, value);
  if (rc < 0) return {VolumeErrorKind::Failed, snd_strerror(rc)};
  return {};
}

}  // namespace kelmo
