#include "app/ScheduleSettings.h"

#include "schedule/RecordingPrograms.h"
#include "schedule/StoredPrograms.h"

namespace kelmo {
namespace {

constexpr const char* kGeneral = "General";

}  // namespace

void LoadProfiles(const ProfileFile& file, RecordingProfileTable& table) {
  ApplyStoredProfiles(table, file.GetProfileInt(kGeneral, "ProfilesCount", 0),
                      file.GetProfileBinary(kGeneral, "ProfilesData"));
}

bool SaveProfiles(ProfileFile& file, const RecordingProfileTable& table, int32_t count) {
  if (count < 0) count = 0;
  if (count > kMaxProfiles) count = kMaxProfiles;
  ProfileChanges changes;
  changes.WriteProfileInt(kGeneral, "ProfilesCount", count);
  changes.WriteProfileBinary(kGeneral, "ProfilesData", EncodeProfiles(table, count));
  return file.Write(changes);
}

void AddPrograms(ProfileChanges& changes, const RecordingProgramTable& table) {
  const std::vector<uint8_t> block = EncodePrograms(table);
  changes.WriteProfileInt(kGeneral, "ProgramsCount",
                          static_cast<int32_t>(block.size() / kStoredProgramBytes));
  changes.WriteProfileBinary(kGeneral, "ProgramsData", block);
}

bool SavePrograms(ProfileFile& file, const RecordingProgramTable& table) {
  ProfileChanges changes;
  AddPrograms(changes, table);
  return file.Write(changes);
}

bool SaveProgramsIfChanged(ProfileFile& file, RecordingProtocol& protocol,
                           const RecordingProgramTable& table) {
  return protocol.TakeTableChanged() && SavePrograms(file, table);
}

void LoadPrograms(const ProfileFile& file, RecordingProgramTable& table, int64_t now,
                  Messages& messages) {
  DecodePrograms(table, file.GetProfileInt(kGeneral, "ProgramsCount", 0),
                 file.GetProfileBinary(kGeneral, "ProgramsData"));
  ArmRestoredPrograms(table, now, messages);
}

}  // namespace kelmo
