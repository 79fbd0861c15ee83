#pragma once

extern "C" {
#include <libswresample/swresample.h>
}

namespace kelmo {

// A mono source recorded as stereo goes to both channels at its full level: the resampler's own
// mix puts a centre channel 3 dB down on each side, which would make every mono recording quieter
// than its source. Call between allocating the resampler and initialising it; true when the
// resampler took the mix (or no mix was needed).
inline bool KeepMonoLevel(SwrContext* resampler, int inChannels, int outChannels) {
  if (inChannels != 1 || outChannels != 2) return true;
  const double both[] = {1.0, 1.0};  // left and right each take the one input channel whole
  return swr_set_matrix(resampler, both, 1) >= 0;
}

}  // namespace kelmo
