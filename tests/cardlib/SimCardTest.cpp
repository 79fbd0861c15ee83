#include <gtest/gtest.h>

#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

using SimCardTest = SimCardFixture;

TEST_F(SimCardTest, AntennaFileDecidesWhatIsReceived) {
  UseAntenna(
      "# test antenna\n"
      "TV 503.25 Test Vision\n"
      "FM 98.50 Radio de Prueba 20\n"
      "FM 99.00 Radio Dos\n"  // no strength: skipped
      "XX 1 2\n");
  context->tuner.TuneTv(503.25f);
  EXPECT_EQ(context->card.ReadDecoderStatus(), 0xC0);
  KelmoSimCardState s{};
  ASSERT_TRUE(context->card.QuerySimulatedCard(s));
  EXPECT_EQ(s.band, KELMO_SIM_BAND_TV);
  EXPECT_STREQ(s.stationName, "Test Vision");
  EXPECT_EQ(s.audioSelector, 3);

  context->tuner.TuneTv(503.50f);  // within the decoder's capture range
  EXPECT_GE(context->card.ReadDecoderStatus(), 128);
  context->tuner.TuneTv(503.75f);
  EXPECT_LT(context->card.ReadDecoderStatus(), 128);

  context->tuner.TuneFm(99.00f);
  EXPECT_LE(context->card.ReadTunerStatus(), 15);
  context->tuner.TuneFm(98.50f);
  EXPECT_EQ(context->card.ReadTunerStatus(), 20);
  ASSERT_TRUE(context->card.QuerySimulatedCard(s));
  EXPECT_EQ(s.band, KELMO_SIM_BAND_FM);
  EXPECT_DOUBLE_EQ(s.frequencyMhz, 98.5);
  EXPECT_STREQ(s.stationName, "Radio de Prueba");
  EXPECT_EQ(s.audioSelector, 1);
}

TEST_F(SimCardTest, LogLinesAndTheStatusReadsPause) {
  context->state.tunerType = 0;
  context->tuner.TuneTv(48.25f);
  const int64_t before = clock.SleptMilliseconds();
  context->card.ReadTunerStatus();  // at the tuner's read address, after its pause
  EXPECT_EQ(clock.SleptMilliseconds() - before, 10);
  context->card.ReadDecoderStatus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"GPIO 0", "W C0 05 73 8E A0", "GPIO 3", "R C3 -> 03",
                                             "DEC 00 -> C0"}));
}

}  // namespace
}  // namespace kelmo::test
