#include <gtest/gtest.h>

#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

using TunerTest = SimCardFixture;

TEST_F(TunerTest, TvWritesPerTunerTypeAndBandLimitsAndRange) {
  struct Row {
    float mhz;
    int32_t type;
    const char* write;
  };
  const Row rows[] = {
      {48.25f, 0, "W C0 05 73 8E A0"},     // divider 1395
      {140.25f, 1, "W C2 0B 33 8E 04"},    // 2867, first step of the middle band
      {855.25f, 2, "W C2 37 E3 8E 30"},    // 14307
      {140.1875f, 0, "W C0 0B 32 8E A0"},  // just below the middle band
      {140.25f, 0, "W C0 0B 33 8E 90"},
      {463.1875f, 0, "W C0 1F 62 8E 90"},  // just below the high band
      {463.25f, 0, "W C0 1F 63 8E 30"},
      {1e30f, 2, "W C2 7F FF 8E 30"},  // unusable: held to the divider's range
  };
  for (const Row& r : rows) {
    context->state.tunerType = r.type;
    context->tuner.TuneTv(r.mhz);
    EXPECT_EQ(LastWrite(), r.write) << r.mhz << " MHz, type " << r.type;
  }
}

TEST_F(TunerTest, FmDividerIsRoundedToTheNearestStep) {
  context->tuner.TuneFm(87.50f);
  EXPECT_EQ(LastWrite(), "W C2 07 AC 88 A5");  // 1964
  context->tuner.TuneFm(108.00f);
  EXPECT_EQ(LastWrite(), "W C2 09 46 88 A5");  // 2374
  context->tuner.TuneFm(87.60f);
  EXPECT_EQ(LastWrite(), "W C2 07 AE 88 A5");  // 1966, not 1965 (87.55 MHz)
  context->tuner.TuneFm(100.10f);
  EXPECT_EQ(LastWrite(), "W C2 08 A8 88 A5");  // 2216
  context->tuner.TuneFm(-20.0f);
  EXPECT_EQ(LastWrite(), "W C2 00 00 88 A5");  // held to the divider's range
}

TEST_F(TunerTest, SoundIsOffAroundEachWriteAndStaysOffWhenMuted) {
  ClearLog();
  const int64_t before = clock.SleptMilliseconds();
  context->state.tvMode = 1;
  context->tuner.TuneFm(94.85f);
  EXPECT_EQ(context->state.tvMode, 0);
  EXPECT_EQ(clock.SleptMilliseconds() - before, 150);  // 5 bytes of 10 ms, then 100 ms
  context->tuner.TuneTv(175.25f);
  EXPECT_EQ(context->state.tvMode, 1);
  context->state.muted = true;
  context->tuner.TuneFm(94.85f);
  EXPECT_EQ(Log(),
            (std::vector<std::string>{"GPIO 0", "W C2 08 3F 88 A5", "GPIO 1", "GPIO 0",
                                      "W C2 0D 63 8E 90", "GPIO 3", "GPIO 0", "W C2 08 3F 88 A5"}));
  KelmoSimCardState s{};
  ASSERT_TRUE(context->card.QuerySimulatedCard(s));
  EXPECT_EQ(s.audioSelector, 0);
}

}  // namespace
}  // namespace kelmo::test
