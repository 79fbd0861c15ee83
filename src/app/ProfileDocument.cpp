#include "app/ProfileDocument.h"

#include <algorithm>

namespace kelmo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view text) {
  ProfileDocument document;
  // A byte-order mark written by some editors is kept, but is no part of the first line.
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) {
    document.bom = kBom;
    text.remove_prefix(kBom.size());
  }
  bool endingSeen = false;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    Line line;
    if (lf == std::string_view::npos) {
      line.text = std::string(text);
      text = {};
    } else {
      const bool crlf = lf > 0 && text[lf - 1] == '\r';
      line.text = std::string(text.substr(0, crlf ? lf - 1 : lf));
      line.ending = crlf ? "\r\n" : "\n";
      text.remove_prefix(lf + 1);
      if (!endingSeen) document.newline = line.ending;
      endingSeen = true;
    }
    document.lines.push_back(std::move(line));
  }
  return document;
}

std::optional<std::string_view> ProfileDocument::SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.find(']');
  return Trim(line.substr(0, close));
}

std::optional<ProfileDocument::KeyLine> ProfileDocument::SplitKey(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::optional<std::size_t> ProfileDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (name && SameName(*name, section)) return i;
  }
  return std::nullopt;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines.size() && !SectionName(lines[i].text)) ++i;
  return i;
}

std::optional<std::size_t> ProfileDocument::FindKey(std::size_t header,
                                                    std::string_view key) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const auto split = SplitKey(lines[i].text);
    if (split && SameName(split->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section,
                                                 std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const auto index = FindKey(*header, key);
  if (!index) return std::nullopt;
  return std::string(SplitKey(lines[*index].text)->value);
}

void ProfileDocument::AppendLine(std::string text) {
  if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = newline;
  lines.push_back(Line{std::move(text), newline});
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  // A name that the reader would see differently (blanks around it, brackets, '=', ';') would make
  // a key that can never be read back; a line break would split the line.
  const bool badSection = section.empty() || Trim(section) != section || HasLineBreak(section) ||
                          section.find(']') != std::string_view::npos;
  const bool badKey = key.empty() || Trim(key) != key || HasLineBreak(key) ||
                      key.find('=') != std::string_view::npos || key.front() == ';' ||
                      key.front() == '[';
  if (badSection || badKey || HasLineBreak(value)) return false;

  std::string text = std::string(key) + "=" + std::string(value);
  const auto header = FindSection(section);
  if (!header) {
    AppendLine("[" + std::string(section) + "]");
    AppendLine(std::move(text));
    return true;
  }
  if (const auto index = FindKey(*header, key)) {
    // Keep the key as the file spells it.
    lines[*index].text = std::string(SplitKey(lines[*index].text)->key) + "=" + std::string(value);
    return true;
  }
  // After the section's last non-blank line, so a blank line before the next section stays there.
  std::size_t at = SectionEnd(*header);
  while (at > *header + 1 && Trim(lines[at - 1].text).empty()) --at;
  if (at == lines.size()) {
    AppendLine(std::move(text));
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newline});
  }
  return true;
}

std::string ProfileDocument::Text() const {
  std::string text = bom;
  for (const Line& line : lines) text += line.text + line.ending;
  return text;
}

}  // namespace kelmo
