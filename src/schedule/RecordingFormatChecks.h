#pragma once

#include "audio/AudioFormatSettings.h"
#include "capture/CaptureDriver.h"
#include "platform/Messages.h"

namespace kelmo {

// What the Recording Programs dialog asks before it lets the user schedule anything: a scheduled
// program may be a sound or a video recording, so every format both need must be set. Each missing
// format is named in its own box, in a fixed order (the sound input, its compression, the AVI
// sound, the video format, the video compressor). When only the compressor is missing, the
// compression dialog opens by itself. True when the dialog may stay open; false when it must
// close again once it has finished opening. User-interface thread.
bool RecordingFormatsReady(const AudioFormatSettings& formats, CaptureDriver& capture,
                           Messages& messages);

}  // namespace kelmo
