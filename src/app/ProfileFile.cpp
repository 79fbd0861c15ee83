#include "app/ProfileFile.h"

#include <charconv>

#include "app/ProfileBlock.h"
#include "app/ProfileDocument.h"
#include "platform/AtomicFile.h"

namespace kelmo {

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  return ProfileDocument::Parse(ReadFileBytes(path).value_or(std::string())).Find(section, key);
}

int32_t ProfileFile::GetProfileInt(std::string_view section, std::string_view key,
                                   int32_t defaultValue) const {
  const auto text = Find(section, key);
  if (!text || text->empty()) return defaultValue;
  const char* first = text->data();
  const char* last = first + text->size();
  if (*first == '+') ++first;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (end == first) return 0;
  // Beyond 32 bits the value saturates instead of wrapping into a plausible small number.
  if (ec == std::errc::result_out_of_range || value > INT32_MAX)
    return (*first == '-') ? INT32_MIN : INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string ProfileFile::GetProfileString(std::string_view section, std::string_view key,
                                          std::string_view defaultValue) const {
  const auto text = Find(section, key);
  return text ? *text : std::string(defaultValue);
}

std::optional<std::vector<uint8_t>> ProfileFile::GetProfileBinary(std::string_view section,
                                                                  std::string_view key) const {
  const auto text = Find(section, key);
  if (!text) return std::nullopt;
  return DecodeProfileBlock(*text);
}

void ProfileChanges::WriteProfileString(std::string_view section, std::string_view key,
                                        std::string_view value) {
  changes.push_back(Change{std::string(section), std::string(key), std::string(value)});
}

void ProfileChanges::WriteProfileInt(std::string_view section, std::string_view key,
                                     int32_t value) {
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  WriteProfileString(section, key, std::string_view(buffer, end - buffer));
}

void ProfileChanges::WriteProfileBinary(std::string_view section, std::string_view key,
                                        std::span<const uint8_t> block) {
  WriteProfileString(section, key, EncodeProfileBlock(block));
}

bool ProfileFile::Write(const ProfileChanges& changes) {
  const auto text = ReadFileBytes(path);
  if (!text) return false;
  ProfileDocument document = ProfileDocument::Parse(*text);
  bool all = true;
  bool any = false;
  for (const auto& change : changes.changes) {
    const bool made = document.Set(change.section, change.key, change.value);
    all = all && made;
    any = any || made;
  }
  if (!any) return all;
  return ReplaceFileContents(path, document.Text()) && all;
}

bool ProfileFile::WriteProfileString(std::string_view section, std::string_view key,
                                     std::string_view value) {
  ProfileChanges changes;
  changes.WriteProfileString(section, key, value);
  return Write(changes);
}

bool ProfileFile::WriteProfileInt(std::string_view section, std::string_view key, int32_t value) {
  ProfileChanges changes;
  changes.WriteProfileInt(section, key, value);
  return Write(changes);
}

bool ProfileFile::WriteProfileBinary(std::string_view section, std::string_view key,
                                     std::span<const uint8_t> block) {
  ProfileChanges changes;
  changes.WriteProfileBinary(section, key, block);
  return Write(changes);
}

}  // namespace kelmo
