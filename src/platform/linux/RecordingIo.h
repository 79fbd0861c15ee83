#pragma once

#include "platform/RecordingFile.h"

struct AVIOContext;

namespace kelmo {

// An FFmpeg I/O context that writes into a recording's file, which the muxer then never opens by
// name (so it cannot be made to write through a planted link). The file stays the caller's and
// must outlive the context. Null when out of memory.
AVIOContext* OpenRecordingIo(RecordingFile& file);

// Writes what the context still buffers, then frees it; `io` becomes null.
void CloseRecordingIo(AVIOContext*& io);

}  // namespace kelmo
