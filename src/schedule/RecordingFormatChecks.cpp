#include "schedule/RecordingFormatChecks.h"

namespace kelmo {

bool RecordingFormatsReady(const AudioFormatSettings& formats, CaptureDriver& capture,
                           Messages& messages) {
  bool refused = false;
  if (formats.inputFormatSet == 0) {
    messages.Show("You didn't set Input WAV Format (Options/WAV Capture Options)");
    refused = true;
  }
  if (formats.compressionFormatSet == 0) {
    messages.Show("You didn't set Compression WAV Format (Options/WAV Capture Options)");
    refused = true;
  }
  if (capture.aviAudioFormatSet == 0) {
    messages.Show("You didn't set the Sound Format (Options/Capture Options)");
    refused = true;
  }
  if (capture.videoFormatSet == 0) {
    messages.Show("You didn't set the Video Format (Options/Capture Options)");
    refused = true;
  }
  if (capture.compressionSet != 0) return !refused;
  // A compressor is chosen once per run: when nothing else is missing the user is asked now,
  // rather than at the first scheduled TV program, when nobody may be there to answer.
  if (!refused) {
    capture.ShowVideoCompressionDialog(messages);
    if (capture.compressionSet != 0) return true;
  }
  messages.Show("You didn't set the Compression (Options/Capture Options)");
  return false;
}

}  // namespace kelmo
