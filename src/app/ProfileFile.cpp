#include "app/ProfileFile.h"

#include <charconv>

#include "app/ProfileBlock.h"
#include "app/ProfileDocument.h"
#include "base/Log.h"

namespace kelmo {

const ProfileDocument& ProfileFile::Document() const {
  if (!document) {
    FileContents contents = ReadRegularFile(path);
    readResult = std::move(contents.result);
    document = ProfileDocument::Parse(readResult ? contents.bytes : std::string());
  }
  return *document;
}

const FileResult& ProfileFile::ReadResult() const {
  Document();
  return readResult;
}

std::string ProfileFile::Text() const { return Document().Text(); }

int32_t ProfileFile::GetProfileInt(std::string_view section, std::string_view key,
                                   int32_t defaultValue) const {
  const auto text = Document().Find(section, key);
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
  const auto text = Document().Find(section, key);
  return text ? *text : std::string(defaultValue);
}

std::optional<std::vector<uint8_t>> ProfileFile::GetProfileBinary(std::string_view section,
                                                                  std::string_view key) const {
  const auto text = Document().Find(section, key);
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

FileResult ProfileFile::Write(const ProfileChanges& changes) {
  FileContents contents = ReadRegularFile(path);
  if (!contents.result) return std::move(contents.result);
  ProfileDocument changed = ProfileDocument::Parse(contents.bytes);
  bool all = true;
  bool any = false;
  for (const auto& change : changes.changes) {
    const bool made = changed.Set(change.section, change.key, change.value);
    all = all && made;
    any = any || made;
  }
  if (any) {
    FileResult written = ReplaceFileContents(path, changed.Text());
    if (!written) return written;
    document = std::move(changed);
    readResult = {};
  }
  if (all) return {};
  LogWarning("settings", "%s: a value holding a line break was left out", path.c_str());
  return FileResult::Failed(FileErrorKind::BadValue, "a value holds a line break");
}

FileResult ProfileFile::WriteProfileString(std::string_view section, std::string_view key,
                                           std::string_view value) {
  ProfileChanges changes;
  changes.WriteProfileString(section, key, value);
  return Write(changes);
}

FileResult ProfileFile::WriteProfileInt(std::string_view section, std::string_view key,
                                        int32_t value) {
  ProfileChanges changes;
  changes.WriteProfileInt(section, key, value);
  return Write(changes);
}

FileResult ProfileFile::WriteProfileBinary(std::string_view section, std::string_view key,
                                           std::span<const uint8_t> block) {
  ProfileChanges changes;
  changes.WriteProfileBinary(section, key, block);
  return Write(changes);
}

}  // namespace kelmo
