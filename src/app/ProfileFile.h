#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProfileDocument.h"
#include "platform/AtomicFile.h"

namespace kelmo {

// Key writes gathered to be applied to a profile file together, in the order they were made (see
// ProfileFile::Write). Each replaces the key's line or adds it, creating its section as needed.
class ProfileChanges {
 public:
  void WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  void WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
  void WriteProfileBinary(std::string_view section, std::string_view key,
                          std::span<const uint8_t> block);

 private:
  friend class ProfileFile;
  struct Change {
    std::string section;
    std::string key;
    std::string value;
  };
  std::vector<Change> changes;
};

// A private profile file (config.dat): integers, strings and letter-pair byte blocks under
// "[Section]" headers. The file is read once, at the first key looked up, and every key is found
// in that reading; a file that cannot be read (not a regular file, too large, a link of another
// user, ...) reads as empty, and ReadResult() says why. Every writer of the file goes through
// Write: one read of the file as it is on disk then, so two users of the file (the settings, the
// recording profiles and programs) never overwrite each other's keys, and one write of a
// temporary file beside it that then replaces it, so a crash or a full disk leaves either the old
// file or the new one, never a mix. User-interface thread only.
class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path) : path(std::move(path)) {}

  const std::filesystem::path& Path() const { return path; }

  // Whether the file could be read (a missing file can: it holds no keys), and if not, why.
  const FileResult& ReadResult() const;
  // The file's text as read.
  std::string Text() const;

  // The key's decimal value (an optional sign, then digits; anything else after them is ignored, a
  // value with no digits is 0); `defaultValue` when the key is missing or empty.
  int32_t GetProfileInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // The key's text, blanks around it removed; `defaultValue` when the key is missing.
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const;
  // The key's byte block; nullopt when the key is missing, empty or not a well-formed block.
  std::optional<std::vector<uint8_t>> GetProfileBinary(std::string_view section,
                                                       std::string_view key) const;

  // Applies `changes` to the file as it is now and writes it once, creating the file and its folder
  // as needed; every other line stays as it was. A change whose value holds a line break (it would
  // split its line) is left out and the others are made (kind BadValue). A file that cannot be
  // read is not written over (it might hold what the user wants kept); see ReplaceFileContents
  // for the files that are refused. On failure the file is unchanged, except for a BadValue.
  FileResult Write(const ProfileChanges& changes);

  // One key, through Write.
  FileResult WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  FileResult WriteProfileString(std::string_view section, std::string_view key,
                                std::string_view value);
  FileResult WriteProfileBinary(std::string_view section, std::string_view key,
                                std::span<const uint8_t> block);

 private:
  const ProfileDocument& Document() const;

  std::filesystem::path path;
  mutable std::optional<ProfileDocument> document;  // read at the first look-up
  mutable FileResult readResult;
};

}  // namespace kelmo
