#pragma once

#include <string>

#include "audio/WaveFormat.h"
#include "base/DeviceError.h"

// ALSA's handle, declared as its own header declares it: only the .cpp files include ALSA.
typedef struct _snd_pcm snd_pcm_t;

namespace kelmo {

// Which way the sound goes through a PCM.
enum class PcmStream { Capture, Playback };

// The ALSA name of a device taken through the plug layer, which converts rate, channels and sample
// size, so that every plain PCM format opens on any card.
std::string PlugDeviceName(const std::string& device);

// Opens the plug layer over `device` for `stream`, non-blocking, and sets `pcm`; or the kind of
// failure (Busy when another program holds it, Permission, otherwise NotPresent), naming the
// device as `named`.
DeviceError OpenAlsaPcm(const std::string& device, const std::string& named, PcmStream stream,
                        snd_pcm_t*& pcm);

// Whether the open `pcm` can take `format` (plain PCM only), without installing anything.
bool AlsaTakesFormat(snd_pcm_t* pcm, const WaveFormatEx& format);

// Installs `format` with periods of `periodFrames` and a ring of `periods` of them, and logs what
// the device settled on; FormatNotSupported, naming the device as `named`, when it refuses.
DeviceError InstallAlsaFormat(snd_pcm_t* pcm, const std::string& named, const WaveFormatEx& format,
                              unsigned long periodFrames, unsigned periods);

// Whether ALSA has a capture device of that name (one held by another program counts: opening it
// then reports that it is busy).
bool AlsaHasCaptureDevice(const std::string& device);

}  // namespace kelmo
