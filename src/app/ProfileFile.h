#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmo {

// A private profile file (config.dat): integers, strings and letter-pair byte blocks under
// "[Section]" headers. Every call reads the file anew and every write rewrites it, so two users of
// the same file (the settings and the recording profiles) never overwrite each other's keys. A
// write goes to a temporary file beside the real one that then replaces it, so a full disk never
// leaves a half-written file. User-interface thread only.
class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path) : path(std::move(path)) {}

  const std::filesystem::path& Path() const { return path; }

  // The key's decimal value (an optional sign, then digits; anything else after them is ignored, a
  // value with no digits is 0); `defaultValue` when the key is missing or empty.
  int32_t GetProfileInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // The key's text, blanks around it removed; `defaultValue` when the key is missing.
  std::string GetProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const;
  // The key's byte block; nullopt when the key is missing, empty or not a well-formed block.
  std::optional<std::vector<uint8_t>> GetProfileBinary(std::string_view section,
                                                       std::string_view key) const;

  // Each replaces the key's line or adds it, creating the section, the file and its folder as
  // needed; every other line stays as it was. False when the file could not be written (it is then
  // unchanged) or the value holds a line break.
  bool WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteProfileBinary(std::string_view section, std::string_view key,
                          std::span<const uint8_t> block);

 private:
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  std::filesystem::path path;
};

}  // namespace kelmo
