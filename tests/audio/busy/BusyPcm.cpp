// An ALSA device that another program holds: every open answers "busy", as a card's does while
// another program records from it. Loaded by libasound itself, through a pcm_type entry.

#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <cerrno>

extern "C" {

int _snd_pcm_kelmobusy_open(snd_pcm_t**, const char*, snd_config_t*, snd_config_t*,
                            snd_pcm_stream_t, int) {
  return -EBUSY;
}

SND_PCM_PLUGIN_SYMBOL(kelmobusy)
}
