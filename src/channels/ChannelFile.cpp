#include "channels/ChannelFile.h"

#include <algorithm>

#include "base/ChannelText.h"
#include "base/Log.h"
#include "platform/AtomicFile.h"

namespace kelmo {

namespace {

// Texts longer than this many bytes are cut; a list reports only the first few such texts.
constexpr std::size_t kMaxTextProblems = 3;

std::string Number(std::size_t n) { return std::to_string(n); }

}  // namespace

ChannelFile::Section ChannelFile::ScanSection(std::size_t start) const {
  Section section;
  section.start = start;
  section.end = ImageLength();
  section.recordsEnd = start;
  const auto count = GetU32(start);
  if (!count) return section;
  section.countPresent = true;
  section.storedCount = *count;
  std::size_t pos = start + 4;
  section.recordsEnd = pos;
  // Each record takes at least 8 bytes, so the walk ends within the image whatever the count says.
  for (uint32_t i = 0; i < section.storedCount; ++i) {
    const auto nameLength = GetU32(pos);
    if (!nameLength || ImageLength() - pos - 4 < *nameLength) return section;
    const std::size_t frequencyAt = pos + 4 + *nameLength;
    const auto frequencyLength = GetU32(frequencyAt);
    if (!frequencyLength || ImageLength() - frequencyAt - 4 < *frequencyLength) return section;
    pos = frequencyAt + 4 + *frequencyLength;
    section.recordsEnd = pos;
    ++section.wholeRecords;
  }
  section.end = pos;
  return section;
}

std::size_t ChannelFile::GetTvSectionEnd() const { return TvSection().end; }

int32_t ChannelFile::GetTvCount() const {
  return static_cast<int32_t>(
      std::min<uint32_t>(TvSection().wholeRecords, TvChannelTable::kCapacity));
}

int32_t ChannelFile::GetFmCount() const {
  return static_cast<int32_t>(
      std::min<uint32_t>(FmSection().wholeRecords, FmChannelTable::kCapacity));
}

std::size_t ChannelFile::GetFmSectionLength() const {
  const Section fm = FmSection();
  return fm.end - fm.start;
}

template <class Table>
void ChannelFile::ReadSection(const Section& section, Table& table) const {
  const uint32_t n = std::min<uint32_t>(section.wholeRecords, Table::kCapacity);
  std::size_t pos = section.start + 4;
  for (uint32_t i = 0; i < n; ++i) {
    // The scan has checked that every length and text of these records lies inside the image.
    const uint32_t nameLength = *GetU32(pos);
    ChannelEntry& entry = table.entries[i];
    entry.name = CutChannelText(*GetString(pos + 4, nameLength), kChannelTextMax);
    pos += 4 + nameLength;
    const uint32_t frequencyLength = *GetU32(pos);
    entry.frequency = CutChannelText(*GetString(pos + 4, frequencyLength), kChannelTextMax);
    pos += 4 + frequencyLength;
  }
}

void ChannelFile::ReadTvChannels(TvChannelTable& table) const { ReadSection(TvSection(), table); }

void ChannelFile::ReadFmChannels(FmChannelTable& table) const { ReadSection(FmSection(), table); }

template <class Table>
void ChannelFile::WriteSection(std::size_t start, std::size_t oldLength, const Table& table,
                               int32_t count) {
  const int32_t n = std::clamp(count, 0, Table::kCapacity);
  RemoveBytes(start, oldLength);
  InsertU32(start, static_cast<uint32_t>(n));
  std::size_t pos = start + 4;
  for (int32_t i = 0; i < n; ++i) {
    const ChannelEntry& entry = table.entries[static_cast<std::size_t>(i)];
    for (const std::string* text : {&entry.name, &entry.frequency}) {
      const std::string stored = CutChannelText(*text, kChannelTextMax);
      InsertU32(pos, static_cast<uint32_t>(stored.size()));
      InsertString(pos + 4, stored);
      pos += 4 + stored.size();
    }
  }
}

void ChannelFile::WriteTvChannels(const TvChannelTable& table, int32_t count) {
  if (!HasImage()) return;
  WriteSection(0, GetTvSectionEnd(), table, count);
  // A damaged TV section took the FM section with it: the FM list was read as empty, so an empty
  // FM section makes the file sound again.
  const std::size_t end = GetTvSectionEnd();
  if (!GetU32(end)) InsertU32(end, 0);
}

void ChannelFile::WriteFmChannels(const FmChannelTable& table, int32_t count) {
  if (!HasImage()) return;
  const Section tv = TvSection();
  if (!tv.countPresent || tv.wholeRecords < tv.storedCount) {
    // A damaged TV section runs to the image's end, so an FM section behind it would never be
    // found: keep the TV records read, count them, and drop the broken rest (its copy is kept).
    RemoveBytes(tv.recordsEnd, ImageLength() - tv.recordsEnd);
    RemoveBytes(0, tv.countPresent ? 4 : 0);
    InsertU32(0, tv.wholeRecords);
  }
  WriteSection(GetTvSectionEnd(), GetFmSectionLength(), table, count);
}

void ChannelFile::AddSectionProblems(const Section& section, const char* list, uint32_t capacity,
                                     std::vector<std::string>& problems) const {
  const std::string name = list;
  if (!section.countPresent) {
    problems.push_back("The " + name + " count is missing.");
    return;
  }
  if (section.wholeRecords < section.storedCount)
    problems.push_back("The " + name + " list says " + Number(section.storedCount) +
                       " channels, but the file ends after " + Number(section.wholeRecords) +
                       " of them.");
  if (section.wholeRecords > capacity)
    problems.push_back("The " + name + " list holds " + Number(section.wholeRecords) +
                       " channels; only " + Number(capacity) + " fit.");
  std::size_t longTexts = 0;
  std::size_t pos = section.start + 4;
  for (uint32_t i = 0; i < section.wholeRecords; ++i) {
    for (const char* field : {"name", "frequency"}) {
      const uint32_t length = *GetU32(pos);
      if (length > kChannelTextMax && ++longTexts <= kMaxTextProblems)
        problems.push_back(name + " channel " + Number(i + 1) + ": the " + field + " is " +
                           Number(length) + " bytes long; only the first " +
                           Number(kChannelTextMax) + " are kept.");
      pos += 4 + length;
    }
  }
  if (longTexts > kMaxTextProblems)
    problems.push_back("And " + Number(longTexts - kMaxTextProblems) + " more " + name +
                       " texts longer than " + Number(kChannelTextMax) + " bytes.");
}

std::vector<std::string> ChannelFile::Problems() const {
  std::vector<std::string> problems;
  if (!HasImage()) return problems;
  const Section tv = TvSection();
  AddSectionProblems(tv, "TV", TvChannelTable::kCapacity, problems);
  // After a broken TV section the FM section cannot be found; that is one problem, not two.
  if (tv.countPresent && tv.wholeRecords == tv.storedCount)
    AddSectionProblems(FmSection(), "FM", FmChannelTable::kCapacity, problems);
  return problems;
}

bool ChannelFile::Load() {
  if (!ReadWholeFile(kFileName)) return false;
  const std::vector<std::string> problems = Problems();
  if (!problems.empty()) ReportDamage(problems);
  return true;
}

void ChannelFile::ReportDamage(const std::vector<std::string>& problems) {
  const std::string bytes(Image().begin(), Image().end());
  const KeptCopy copy = KeepDamagedCopy(Path(), bytes);
  const bool kept = copy.before || copy.result;
  // Without a copy, writing the file could lose what the damaged part still holds.
  BlockWriteBack(!kept);
  if (copy.before || Image() == reportedImage) return;
  reportedImage = Image();

  std::string text = "The channel file " + Path().string() + " is damaged:\n";
  for (const std::string& problem : problems) text += problem + "\n";
  LogWarning("channels", "%s is damaged: %s", Path().c_str(), problems.front().c_str());
  text += "The channel lists were read as far as the file is sound. ";
  text += kept ? "A copy of the file was kept as " + copy.path.string() + "."
               : "A copy could not be written to " + copy.path.string() + " (" +
                     copy.result.reason + "), so the file is left as it is.";
  messages.Show(Message{text, "Kelmo", MessageIcon::Warning});
}

}  // namespace kelmo
