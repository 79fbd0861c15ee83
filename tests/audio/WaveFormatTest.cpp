#include <gtest/gtest.h>

#include "audio/WaveFormat.h"

namespace kelmo {
namespace {

TEST(WaveFormat, StoredFormIs18LittleEndianBytesPlusExtra) {
  WaveFormatEx f = DefaultPcmFormat();
  f.extra = {0xAA, 0xBB};
  const std::vector<uint8_t> bytes = f.ToBytes();
  const std::vector<uint8_t> expected{0x01, 0x00, 0x01, 0x00, 0x22, 0x56, 0x00, 0x00, 0x44, 0xAC,
                                      0x00, 0x00, 0x02, 0x00, 0x10, 0x00, 0x02, 0x00, 0xAA, 0xBB};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(WaveFormatEx::FromBytes(bytes)->extra, f.extra);
}

TEST(WaveFormat, BlockCheckNeeds18BytesAndRoomForCbSize) {
  std::vector<uint8_t> block = DefaultPcmFormat().ToBytes();
  EXPECT_TRUE(IsValidWaveFormatBlock(block));
  EXPECT_FALSE(IsValidWaveFormatBlock(std::span(block).first(17)));
  block[16] = 2;  // cbSize 2 with no extra bytes
  EXPECT_FALSE(IsValidWaveFormatBlock(block));
  block.push_back(0);
  EXPECT_FALSE(IsValidWaveFormatBlock(block));
  block.push_back(0);
  EXPECT_TRUE(IsValidWaveFormatBlock(block));
  block[16] = 0xFF, block[17] = 0xFF;  // cbSize 65535
  EXPECT_FALSE(IsValidWaveFormatBlock(block));
}

}  // namespace
}  // namespace kelmo
