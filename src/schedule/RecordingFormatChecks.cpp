#include "schedule/RecordingFormatChecks.h"

namespace kelmo {

bool RecordingFormatsReady(const AudioFormatSettings& formats, const CaptureDriver& capture,
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
  return !refused;
}

}  // namespace kelmo
