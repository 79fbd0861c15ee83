// Format blocks from config.dat: the checks decide, and a block that passes reads and writes back
// to its own bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "audio/WaveFormat.h"
#include "capture/BitmapInfoHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> block(data, size);
  const auto wave = kelmo::WaveFormatEx::FromBytes(block);
  if (wave.has_value() != kelmo::IsValidWaveFormatBlock(block)) std::abort();
  if (wave) {
    const auto bytes = wave->ToBytes();
    if (bytes.size() != kelmo::WaveFormatBlockSize(block) ||
        !std::equal(bytes.begin(), bytes.end(), block.begin()))
      std::abort();
  }
  const auto header = kelmo::BitmapInfoHeader::FromBytes(block);
  if (header.has_value() != kelmo::IsValidBitmapInfoBlock(block)) std::abort();
  if (header && header->ToBytes().size() != kelmo::BitmapInfoHeader::kSize) std::abort();
  return 0;
}
