#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "audio/AudioFormatSettings.h"
#include "base/RecordingProgramTable.h"
#include "capture/CaptureDriver.h"
#include "platform/Messages.h"

namespace kelmo {

// Whether a recording will fit on its disk, asked before it starts (REC. and the schedule) and
// when a schedule is armed, so the user can make room in time. The rule: the bytes a second the
// recording writes, times its length (a program's duration, or ten minutes for REC.), against the
// free space of the capture folder. User-interface thread.

// REC. does not know how long it will run: it is given ten minutes.
inline constexpr int64_t kRecSecondsForRoom = 600;

// Bytes a second of the next recording: an AVI at `frameRate` with the capture window's picture
// (compressed pictures estimated from what their compressor keeps of a TV picture) and the AVI
// sound, or (`tv` false) the sound file in the chosen formats.
uint64_t RecordingBytesPerSecond(bool tv, int frameRate, CaptureDriver& capture,
                                 const AudioFormatSettings& formats);

// Nothing when `bytes` fit in `freeBytes` (or the free space is unknown); otherwise the text
// that says how much is needed and how much `folder` has free.
std::optional<std::string> RoomShortfall(const std::string& folder, uint64_t bytes,
                                         std::optional<uint64_t> freeBytes);

// The check before a start: logs and returns the shortfall's text, if any.
std::optional<std::string> CheckRoomForRecording(const std::string& saveDir, bool tv, int frameRate,
                                                 int64_t seconds, CaptureDriver& capture,
                                                 const AudioFormatSettings& formats);

// The check when the schedule is armed: every armed program together against the free space;
// a shortfall is logged and told once.
void WarnIfScheduleHasNoRoom(const RecordingProgramTable& table, const std::string& saveDir,
                             CaptureDriver& capture, const AudioFormatSettings& formats,
                             Messages& messages);

}  // namespace kelmo
