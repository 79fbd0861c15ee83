#include "platform/linux/LargeBuffers.h"

#include <malloc.h>

namespace kelmo {

void ReturnLargeBuffersToTheSystem() {
  // Setting the thresholds at all turns glibc's moving thresholds off; these are its first values.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}

}  // namespace kelmo
