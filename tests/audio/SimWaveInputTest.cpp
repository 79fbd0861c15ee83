#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/WaveFormat.h"
#include "audio/sim/SimWaveInput.h"
#include "platform/sim/ManualClock.h"
#include "support/WaveReceiver.h"

namespace kelmo {
namespace {

int16_t SampleAt(const std::vector<uint8_t>& bytes, std::size_t i) {
  return static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

int Peak(const std::vector<uint8_t>& bytes) {
  int peak = 0;
  for (std::size_t i = 0; i < bytes.size() / 2; ++i)
    peak = std::max(peak, std::abs(SampleAt(bytes, i)));
  return peak;
}

int ZeroCrossings(const std::vector<uint8_t>& bytes) {
  int n = 0;
  for (std::size_t i = 1; i < bytes.size() / 2; ++i)
    n += (SampleAt(bytes, i - 1) < 0) != (SampleAt(bytes, i) < 0);
  return n;
}

KelmoSimCardState FmStation(double mhz, int32_t selector) {
  KelmoSimCardState s{};
  s.band = KELMO_SIM_BAND_FM;
  s.audioSelector = selector;
  s.stationFound = 1;
  s.stationMhz = mhz;
  s.stationStrength = 31;
  return s;
}

TEST(SimWaveInput, DeliversExactlyTheFramesOfTheTimeTheClockAdvanced) {
  ManualClock clock;
  SimWaveInput input(clock, nullptr);
  test::WaveReceiver receiver(input);
  const auto format = DefaultPcmFormat().ToBytes();
  ASSERT_EQ(input.Open(format, receiver), kWaveOk);
  ASSERT_TRUE(receiver.QueueAll());
  ASSERT_EQ(input.Start(), kWaveOk);
  clock.Advance(2);
  clock.AdvanceMilliseconds(500);
  input.Reset();
  // 2.5 s = 55125 frames = 110250 bytes: 27 full buffers, then 2250 bytes in the one being filled
  // and five empty ones, given back at the reset.
  EXPECT_EQ(receiver.bytes.size(), 27u * 4000);
  ASSERT_EQ(receiver.recorded.size(), 27u + 6);
  EXPECT_EQ(receiver.recorded[27], 2250u);
  for (std::size_t i = 28; i < receiver.recorded.size(); ++i) EXPECT_EQ(receiver.recorded[i], 0u);
  // Buffers given back during the reset cannot be queued again; those of the running input can.
  for (int r : receiver.requeueResults) EXPECT_EQ(r, kWaveOk);
  EXPECT_EQ(input.AddBuffer(receiver.buffers[0]), kWaveOk);  // reset over: the input takes it
  input.Close();
}

TEST(SimWaveInput, SoundFollowsTheSimulatedCard) {
  ManualClock clock;
  KelmoSimCardState card = FmStation(98.1, 1);
  bool cardPresent = true;
  SimWaveInput input(clock, [&](KelmoSimCardState& s) {
    s = card;
    return cardPresent;
  });
  auto recordOneSecond = [&] {
    test::WaveReceiver receiver(input);
    EXPECT_EQ(input.Open(DefaultPcmFormat().ToBytes(), receiver), kWaveOk);
    EXPECT_TRUE(receiver.QueueAll());
    input.Start();
    clock.Advance(1);
    input.Reset();
    input.Close();
    return receiver.bytes;
  };
  const std::vector<uint8_t> tone = recordOneSecond();
  EXPECT_GT(Peak(tone), 20000);
  // A steady tone at the station's own pitch: another station sounds different.
  const int crossings = ZeroCrossings(tone);
  card = FmStation(101.3, 1);
  EXPECT_GT(crossings, 700);
  EXPECT_NE(crossings / 10, ZeroCrossings(recordOneSecond()) / 10);

  card = FmStation(98.1, 0);  // muted
  EXPECT_EQ(Peak(recordOneSecond()), 0);
  card.audioSelector = 1;
  card.stationFound = 0;  // off-station: low noise
  const int hiss = Peak(recordOneSecond());
  EXPECT_GT(hiss, 0);
  EXPECT_LT(hiss, 1000);
  cardPresent = false;  // no simulated card: noise as well
  EXPECT_LT(Peak(recordOneSecond()), 1000);
}

TEST(SimWaveInput, RefusesWhenBusyAndFormatsItCannotRecord) {
  ManualClock clock;
  SimWaveInput busy(clock, nullptr, SimAudioSwitches{.busy = true});
  test::WaveReceiver receiver(busy);
  EXPECT_EQ(busy.Open(DefaultPcmFormat().ToBytes(), receiver), kWaveErrAllocated);

  SimWaveInput input(clock, nullptr);
  WaveFormatEx adpcm = DefaultPcmFormat();
  adpcm.wFormatTag = 0x11;
  EXPECT_FALSE(input.SupportsFormat(adpcm.ToBytes()));
  EXPECT_EQ(input.Open(adpcm.ToBytes(), receiver), kWaveErrBadFormat);
  EXPECT_TRUE(input.SupportsFormat(MakePcmFormat(8000, 2, 8).ToBytes()));
  EXPECT_FALSE(input.SupportsFormat(MakePcmFormat(22050, 3, 16).ToBytes()));
  EXPECT_EQ(input.AddBuffer(receiver.buffers[0]), kWaveErrInvalid);  // not open
}

}  // namespace
}  // namespace kelmo
