#pragma once

#include <cstdint>
#include <string>

namespace kelmo::test {

// Channels.dat pieces: a little-endian count or length, and one record.
inline std::string U32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

inline std::string Record(const std::string& name, const std::string& frequency) {
  return U32(static_cast<uint32_t>(name.size())) + name +
         U32(static_cast<uint32_t>(frequency.size())) + frequency;
}

}  // namespace kelmo::test
