#include <gtest/gtest.h>

#include "audio/WaveFormat.h"

namespace kelmo {
namespace {

TEST(WaveFormat, StoredFormIs18LittleEndianBytesPlusExtraAndTheCheckNeedsRoomForCbSize) {
  WaveFormatEx f = DefaultPcmFormat();
  f.extra = {0xAA, 0xBB};
  std::vector<uint8_t> block = f.ToBytes();
  const std::vector<uint8_t> expected{0x01, 0x00, 0x01, 0x00, 0x22, 0x56, 0x00, 0x00, 0x44, 0xAC,
                                      0x00, 0x00, 0x02, 0x00, 0x10, 0x00, 0x02, 0x00, 0xAA, 0xBB};
  EXPECT_EQ(block, expected);
  EXPECT_EQ(WaveFormatEx::FromBytes(block)->extra, f.extra);

  EXPECT_TRUE(IsValidWaveFormatBlock(block));
  EXPECT_FALSE(IsValidWaveFormatBlock(std::span(block).first(17)));
  EXPECT_FALSE(IsValidWaveFormatBlock(std::span(block).first(19)));  // cbSize 2, one byte there
  block[16] = 0xFF, block[17] = 0xFF;                                // cbSize 65535
  EXPECT_FALSE(IsValidWaveFormatBlock(block));
}

}  // namespace
}  // namespace kelmo
