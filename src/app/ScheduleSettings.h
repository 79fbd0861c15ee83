#pragma once

#include <cstdint>

#include "app/ProfileFile.h"
#include "base/RecordingProgramTable.h"
#include "base/RecordingProtocol.h"
#include "platform/Messages.h"
#include "schedule/RecordingProfiles.h"

namespace kelmo {

// The schedule's keys in section "General" of config.dat: the recording profiles (written when
// the Recording Programs dialog closes with OK) and the armed programs (written whenever the table
// changes and at exit). User-interface thread.

// Reads "ProfilesCount" and "ProfilesData" (every time the dialog opens).
void LoadProfiles(const ProfileFile& file, RecordingProfileTable& table);
// Writes the first `count` profiles.
FileResult SaveProfiles(ProfileFile& file, const RecordingProfileTable& table, int32_t count);

// Adds "ProgramsCount" and "ProgramsData" of the armed programs to a write.
void AddPrograms(ProfileChanges& changes, const RecordingProgramTable& table);
// Writes them alone (the dialog's OK).
FileResult SavePrograms(ProfileFile& file, const RecordingProgramTable& table);
// After each tick: writes them when the tick or a recording changed the table (a removal, a
// cancelled schedule). True when written; a failed write is shown with the file and the reason.
bool SaveProgramsIfChanged(ProfileFile& file, RecordingProtocol& protocol,
                           const RecordingProgramTable& table, Messages& messages);

// Start-up, after the channel lists and the settings: the stored programs replace the table, those
// whose end has come are eliminated with their messages, and the rest is sorted and armed. A
// program whose start has passed starts at the first tick and records the rest of its span. When
// "ProgramsCount" does not match "ProgramsData", every whole program (up to ten) is kept, the
// file is copied to "config.dat.bad" (or the first free "config.dat.bad.N") before anything
// writes the keys again, and the user is told once.
void LoadPrograms(const ProfileFile& file, RecordingProgramTable& table, int64_t now,
                  Messages& messages);

}  // namespace kelmo
