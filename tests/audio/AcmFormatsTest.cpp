#include <gtest/gtest.h>

#include "audio/AcmFormatTable.h"
#include "audio/AcmFormats.h"

namespace kelmo {
namespace {

TEST(AcmFormats, DescriptionsCarryTheBlocksAndRatesOtherPlayersExpect) {
  const auto ima = *DescribeAcmFormat({kTagImaAdpcm, 22050, 1});
  EXPECT_EQ(ima.nBlockAlign, 512);
  EXPECT_EQ(SamplesPerBlock(ima), 1017u);
  EXPECT_EQ(ima.nAvgBytesPerSec, 11100u);
  EXPECT_EQ(ima.extra.size(), 2u);
  EXPECT_EQ(DescribeAcmFormat({kTagImaAdpcm, 11025, 2})->nBlockAlign, 512);
  EXPECT_EQ(DescribeAcmFormat({kTagImaAdpcm, 48000, 1})->nBlockAlign, 1024);

  const auto ms = *DescribeAcmFormat({kTagMsAdpcm, 22050, 1});
  EXPECT_EQ(SamplesPerBlock(ms), 1012u);
  EXPECT_EQ(ms.nAvgBytesPerSec, 11155u);
  const std::vector<uint8_t> msExtra{0xF4, 0x03, 7,    0, 0,    1,    0,    0,    0,    2,    0,
                                     0xFF, 0,    0,    0, 0,    0xC0, 0,    0x40, 0,    0xF0, 0,
                                     0,    0,    0xCC, 1, 0x30, 0xFF, 0x88, 1,    0x18, 0xFF};
  EXPECT_EQ(ms.extra, msExtra);

  const auto gsm = *DescribeAcmFormat({kTagGsm610, 8000, 1});
  EXPECT_EQ(gsm.nBlockAlign, 65);
  EXPECT_EQ(gsm.nAvgBytesPerSec, 1625u);
  EXPECT_EQ(SamplesPerBlock(gsm), 320u);
  EXPECT_FALSE(DescribeAcmFormat({kTagGsm610, 22050, 1}));

  const auto mp3 = *DescribeAcmFormat({kTagMpegLayer3, 44100, 2, 0, 128000});
  EXPECT_EQ(mp3.nAvgBytesPerSec, 16000u);
  EXPECT_EQ(mp3.extra.size(), 12u);
  EXPECT_EQ(mp3.extra[6] | mp3.extra[7] << 8, 417);  // one frame: 1152 × 16000 / 44100 bytes
  EXPECT_FALSE(DescribeAcmFormat({kTagMpegLayer3, 44100, 2, 0, 100000}));
}

TEST(AcmFormats, EveryOfferedFormatFitsTheLargestFormatBufferAndHasItsTagsSize) {
  const auto offered = OfferedWaveFormats();
  ASSERT_FALSE(offered.empty());
  for (const WaveFormatEx& f : offered) {
    const AcmFormatTag* row = FindAcmFormatTag(f.wFormatTag);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(f.ToBytes().size(), row->formatSize) << row->name;
    EXPECT_LE(f.ToBytes().size(), AcmMaxFormatSize());
  }
}

}  // namespace
}  // namespace kelmo
