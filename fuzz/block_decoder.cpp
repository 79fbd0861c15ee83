// Letter-pair byte blocks: a text that decodes encodes back to itself, and any bytes survive the
// round trip.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "app/ProfileBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto block = kelmo::DecodeProfileBlock(text)) {
    if (kelmo::EncodeProfileBlock(*block) != text) std::abort();
  }
  const std::span<const uint8_t> bytes(data, size);
  const auto decoded = kelmo::DecodeProfileBlock(kelmo::EncodeProfileBlock(bytes));
  if (size > 0 &&
      (!decoded || !std::equal(decoded->begin(), decoded->end(), bytes.begin(), bytes.end())))
    std::abort();
  return 0;
}
