#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelmo {

// Channel names keep the bytes they were typed or stored with: UTF-8 from this program, or
// Windows-1252 from files of the Windows version.

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// `text` as UTF-8 for the windows: as it is when it is valid UTF-8, otherwise each byte read as
// Windows-1252 (the five bytes that code page leaves undefined become the control code of the same
// number, as the platform's own conversion does).
std::string ChannelDisplayText(std::string_view text);

// `text` cut to at most `limit` bytes without splitting a character: for UTF-8 text the cut moves
// back to the start of the character it would split; single-byte text is cut at `limit`. Text
// after a NUL byte is dropped, as the stored field ends there.
std::string CutChannelText(std::string_view text, std::size_t limit);

}  // namespace kelmo
