#include "app/ScheduleSettings.h"

#include "app/ProfileBlock.h"
#include "base/Log.h"
#include "schedule/RecordingPrograms.h"
#include "schedule/StoredPrograms.h"

namespace kelmo {
namespace {

constexpr const char* kGeneral = "General";

// Another tool may have written the programs with a count that does not match them: whatever is
// whole is kept, and the file as it was is copied before the exit writes the keys anew.
void ReportDamagedPrograms(const ProfileFile& file, const std::string& countText,
                           std::size_t wholePrograms, bool brokenRest, int32_t kept,
                           Messages& messages) {
  const KeptCopy copy = KeepDamagedCopy(file.Path(), file.Text());
  LogWarning("schedule", "%s: ProgramsCount \"%s\" with %zu whole programs%s; %d kept",
             file.Path().c_str(), countText.c_str(), wholePrograms,
             brokenRest ? " and a broken rest" : "", kept);
  if (copy.before) return;
  std::string text =
      "The scheduled programs in " + file.Path().string() +
      " do not agree: \"ProgramsCount\" says \"" + countText + "\", but \"ProgramsData\" holds " +
      std::to_string(wholePrograms) + " whole programs" + (brokenRest ? " and a broken rest" : "") +
      ".\n" + std::to_string(kept) + " programs were kept" +
      (wholePrograms > static_cast<std::size_t>(kMaxPrograms) ? " (the schedule holds ten)" : "") +
      ". ";
  text += copy.result ? "The file as it was is kept as " + copy.path.string() + "."
                      : "A copy could not be written to " + copy.path.string() + " (" +
                            copy.result.reason + ").";
  messages.Show(Message{text, "Kelmo", MessageIcon::Warning});
}

}  // namespace

void LoadProfiles(const ProfileFile& file, RecordingProfileTable& table) {
  ApplyStoredProfiles(table, file.GetProfileInt(kGeneral, "ProfilesCount", 0),
                      file.GetProfileBinary(kGeneral, "ProfilesData"));
}

FileResult SaveProfiles(ProfileFile& file, const RecordingProfileTable& table, int32_t count) {
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

FileResult SavePrograms(ProfileFile& file, const RecordingProgramTable& table) {
  ProfileChanges changes;
  AddPrograms(changes, table);
  return file.Write(changes);
}

bool SaveProgramsIfChanged(ProfileFile& file, RecordingProtocol& protocol,
                           const RecordingProgramTable& table, Messages& messages) {
  if (!protocol.TakeTableChanged()) return false;
  const FileResult written = SavePrograms(file, table);
  if (!written)
    messages.Show("The recording programs could not be saved in " + file.Path().string() + " (" +
                  written.reason + ").");
  return static_cast<bool>(written);
}

void LoadPrograms(const ProfileFile& file, RecordingProgramTable& table, int64_t now,
                  Messages& messages) {
  const std::string text = file.GetProfileString(kGeneral, "ProgramsData", "");
  // A program at a time, so a cut or damaged letter costs only the programs from there on.
  constexpr std::size_t kLetters = 2 * kStoredProgramBytes;
  std::vector<uint8_t> block;
  std::size_t at = 0;
  for (; at + kLetters <= text.size(); at += kLetters) {
    const auto program = DecodeProfileBlock(std::string_view(text).substr(at, kLetters));
    if (!program) break;
    block.insert(block.end(), program->begin(), program->end());
  }
  const int32_t kept = DecodePrograms(table, block);
  const std::size_t whole = block.size() / kStoredProgramBytes;
  const int32_t count = file.GetProfileInt(kGeneral, "ProgramsCount", 0);
  if (at != text.size() || count < 0 || static_cast<std::size_t>(count) != whole ||
      whole > static_cast<std::size_t>(kMaxPrograms))
    ReportDamagedPrograms(file, file.GetProfileString(kGeneral, "ProgramsCount", ""), whole,
                          at != text.size(), kept, messages);
  ArmRestoredPrograms(table, now, messages);
}

}  // namespace kelmo
