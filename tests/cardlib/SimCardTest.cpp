#include <gtest/gtest.h>

#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

using SimCardTest = SimCardFixture;

// Each FM raster position (87.50 .. 108.00 MHz) whose tuner status is above 15.
std::vector<float> SweepFm(KelmoContext& c) {
  std::vector<float> found;
  for (int p = 0; p <= 410; ++p) {
    const float mhz = static_cast<float>(87.5 + 0.05 * p);
    c.tuner.TuneFm(mhz);
    if (c.card.ReadTunerStatus() > 15) found.push_back(mhz);
  }
  return found;
}

TEST_F(SimCardTest, DefaultAntennaSweepsFindEachStationOnce) {
  const std::vector<float> fm = SweepFm(*context);
  EXPECT_EQ(fm, (std::vector<float>{87.60f, 89.30f, 94.85f, 100.10f, 103.45f, 107.95f}));

  // The TV channel raster's three runs.
  std::vector<double> raster;
  for (int i = 0; i < 6; ++i) raster.push_back(48.25 + 7 * i);
  for (int i = 0; i < 28; ++i) raster.push_back(105.25 + 7 * i);
  for (int i = 0; i < 70; ++i) raster.push_back(303.25 + 8 * i);
  int tvStations = 0;
  for (double mhz : raster) {
    context->tuner.TuneTv(static_cast<float>(mhz));
    tvStations += context->card.ReadDecoderStatus() >= 128 ? 1 : 0;
  }
  EXPECT_EQ(tvStations, 6);
}

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

  EXPECT_EQ(SweepFm(*context), std::vector<float>{98.50f});
  context->tuner.TuneFm(98.50f);
  EXPECT_EQ(context->card.ReadTunerStatus(), 20);
  ASSERT_TRUE(context->card.QuerySimulatedCard(s));
  EXPECT_EQ(s.band, KELMO_SIM_BAND_FM);
  EXPECT_DOUBLE_EQ(s.frequencyMhz, 98.5);
  EXPECT_STREQ(s.stationName, "Radio de Prueba");
  EXPECT_EQ(s.audioSelector, 1);
}

TEST_F(SimCardTest, LogLinesAndResetByTheBusInitialisation) {
  context->state.tunerType = 0;
  context->tuner.TuneTv(48.25f);
  context->card.ReadTunerStatus();
  context->card.ReadDecoderStatus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"GPIO 0", "W C0 05 73 8E A0", "GPIO 3", "R C3 -> 03",
                                             "DEC 00 -> C0"}));

  // A new initialisation starts a fresh card writing to the log now named.
  const std::filesystem::path second = dir / "second.log";
  setenv("KELMO_I2C_LOG", second.c_str(), 1);
  context->card.InitCardBus();
  KelmoSimCardState s{};
  ASSERT_TRUE(context->card.QuerySimulatedCard(s));
  EXPECT_EQ(s.band, KELMO_SIM_BAND_NONE);
  EXPECT_EQ(s.audioSelector, 0);
  EXPECT_EQ(s.tuneCount, 0u);
  context->card.ReadDecoderStatus();
  EXPECT_EQ(Log().size(), 5u);
  std::ifstream file(second);
  std::string line;
  std::getline(file, line);
  EXPECT_EQ(line, "DEC 00 -> 00");
}

}  // namespace
}  // namespace kelmo::test
