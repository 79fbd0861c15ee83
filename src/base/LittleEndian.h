#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelmo {

// Stored blocks (the schedule's, the audio and video format headers) are little-endian whatever
// the machine.

inline uint16_t Get16(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

inline uint32_t Get32(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

inline void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<uint8_t>(v >> shift));
}

inline int32_t ReadLe32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

inline int64_t ReadLe64(const uint8_t* p) {
  return static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(ReadLe32(p))) |
                              static_cast<uint64_t>(static_cast<uint32_t>(ReadLe32(p + 4))) << 32);
}

inline void AppendLe32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

inline void AppendLe64(std::vector<uint8_t>& out, int64_t value) {
  const auto v = static_cast<uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace kelmo
