#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kelmo {

// Byte blocks in config.dat are text, two letters per byte: 'A' + the low four bits, then 'A' + the
// high four bits, so every letter is 'A'..'P'.

// The text form of `bytes`; empty for an empty block.
std::string EncodeProfileBlock(std::span<const uint8_t> bytes);

// The bytes of `text`. An empty text, a text of odd length or one with a letter outside 'A'..'P' is
// no block (nullopt): a hand-edited value must not turn into half a format.
std::optional<std::vector<uint8_t>> DecodeProfileBlock(std::string_view text);

}  // namespace kelmo
