#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmo {

// The text of an INI-style private profile file: "[Section]" header lines and "key=value" lines.
// Every line keeps its bytes and its own line end (CRLF from the Windows version, LF from ours), so
// a rewrite changes only the line of the key written. Section and key names match without regard to
// ASCII case; the first matching section and, within it, the first matching key count.
class ProfileDocument {
 public:
  // Splits `text` into lines; never fails (any bytes are a document).
  static ProfileDocument Parse(std::string_view text);

  // The value of `key` in `section`, blanks around it removed; nullopt when there is no such key.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Replaces the key's line, or adds the key after the last line of its section, or adds the
  // section at the end of the document. False (and nothing changed) when a name or the value holds
  // a line break, or a name would not read back as itself.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole document, byte for byte as parsed plus the changes made.
  std::string Text() const;

 private:
  struct Line {
    std::string text;    // without its line end
    std::string ending;  // "\r\n", "\n", or "" for a last line without one
  };
  struct KeyLine {
    std::string_view key;
    std::string_view value;
  };

  static std::optional<std::string_view> SectionName(std::string_view line);
  static std::optional<KeyLine> SplitKey(std::string_view line);
  // Index of the first header line of `section`, or nullopt.
  std::optional<std::size_t> FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;
  void AppendLine(std::string text);

  std::string bom;  // a UTF-8 byte-order mark before the first line, kept as it was
  std::vector<Line> lines;
  std::string newline = "\n";  // the line end of lines we add: the file's own
};

}  // namespace kelmo
