#pragma once

#include <map>
#include <string>

#include "audio/AudioFormatSettings.h"
#include "capture/CaptureDriver.h"

namespace kelmo {

// The texts of the View Format Capture dialog, by control id: the capture file (1005); the WAV
// input format (1006, 1008, 1009, 1010, 1012) and compression format (1014, 1016, 1017, 1018,
// 1020), "Not Set!!!" and empty fields when not set; the AVI sound format (1007, 1011, 1013, 1015)
// when set, re-read from the capture window; the picture size and depth (1019, 1021) when the
// video format is set and the window reports a whole bitmap header. Ids without a value are left
// out (their controls stay as they were). User-interface thread.
std::map<int, std::string> ViewCaptureFormatTexts(const AudioFormatSettings& formats,
                                                  CaptureDriver& capture);

// "1 (Mono)", "2 (Stereo)": any count but 1 is stereo.
std::string ChannelsText(int channels);

}  // namespace kelmo
