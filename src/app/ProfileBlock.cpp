#include "app/ProfileBlock.h"

namespace kelmo {

std::string EncodeProfileBlock(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t byte : bytes) {
    text.push_back(static_cast<char>('A' + (byte & 0x0F)));
    text.push_back(static_cast<char>('A' + (byte >> 4)));
  }
  return text;
}

std::optional<std::vector<uint8_t>> DecodeProfileBlock(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int low = text[i] - 'A';
    const int high = text[i + 1] - 'A';
    if (low < 0 || low > 15 || high < 0 || high > 15) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(low | (high << 4)));
  }
  return bytes;
}

}  // namespace kelmo
