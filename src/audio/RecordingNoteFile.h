#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/RecordingNote.h"

namespace kelmo {

// Writes a pending note as "<recording's file>.txt" beside the recording, created new
// (RecordingFile: no link followed, nothing overwritten), and marks it done. A recording that left
// no file gets no note; a note that cannot be written (a full disk, a name already taken) is
// logged and the recording stays as it is. Any thread; the recording's writer has closed its file.
void WriteRecordingNote(RecordingNote& note);

// A sound format for the note: its name and what the block says, "PCM, 22050 Hz, 16 bit, mono";
// the name alone when the block is not a format.
std::string SoundFormatText(const std::string& name, const std::vector<uint8_t>& block);

}  // namespace kelmo
