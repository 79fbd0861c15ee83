#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelmo {

// The formats of radio and line-in recordings: the format the sound card delivers, the format the
// file is written in, and the WMA output choices. Formats are WAVEFORMATEX blocks in their stored
// layout (18 + cbSize bytes, see WaveFormat.h); an empty block is a format not held. Written on the
// user-interface thread; the wave reader thread only reads them while a recording runs.
struct AudioFormatSettings {
  int32_t inputFormatSet = 0;  // an input format was chosen or restored
  std::vector<uint8_t> inputFormat;
  std::string inputFormatName;  // the format tag's name, e.g. "PCM"

  int32_t compressionFormatSet = 0;  // a compression format was chosen for the input format
  std::vector<uint8_t> compressionFormat;
  std::string compressionFormatName;

  int32_t wmaOutput = 0;      // 1: recordings go to WMA files
  int32_t wmaBitrate = 0;     // bits per second; 0 when not WMA
  int32_t wmaSampleRate = 0;  // Hz
  int32_t wmaChannels = 0;    // 1 or 2

  // Frees both format blocks, as the main window does when it closes (after the settings were
  // saved). The set-flags go with them, so nothing can use a format that is no longer held.
  void ReleaseFormats() {
    inputFormat = {};
    compressionFormat = {};
    inputFormatSet = 0;
    compressionFormatSet = 0;
  }
};

}  // namespace kelmo
