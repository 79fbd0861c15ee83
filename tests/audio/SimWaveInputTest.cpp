#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/WaveFormat.h"
#include "audio/sim/SimWaveInput.h"
#include "platform/sim/ManualClock.h"
#include "support/MediaProbe.h"
#include "support/WaveReceiver.h"

namespace kelmo {
namespace {

// What one second of the input sounds like: its 16-bit peak and its pitch.
struct Heard {
  int peak = 0;
  double hz = 0;
};

Heard Listen(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  Heard h{0, test::ToneFrequency(samples, 22050)};
  for (int16_t s : samples) h.peak = std::max(h.peak, std::abs(s));
  return h;
}

TEST(SimWaveInput, DeliversExactlyTheFramesOfTheTimeTheClockAdvanced) {
  ManualClock clock;
  SimWaveInput input(clock, nullptr);
  test::WaveReceiver receiver(input);
  EXPECT_FALSE(input.AddBuffer(receiver.buffers[0]).ok());  // not open
  ASSERT_TRUE(input.Open(DefaultPcmFormat().ToBytes(), receiver).ok());
  ASSERT_TRUE(receiver.QueueAll());
  ASSERT_TRUE(input.Start().ok());
  clock.Advance(2);
  clock.AdvanceMilliseconds(500);
  input.Reset();
  // 2.5 s = 55125 frames = 110250 bytes: 27 full buffers, then 2250 bytes in the one being filled
  // and five empty ones, given back at the reset.
  EXPECT_EQ(receiver.bytes.size(), 27u * 4000);
  ASSERT_EQ(receiver.recorded.size(), 27u + 6);
  EXPECT_EQ(receiver.recorded[27], 2250u);
  EXPECT_TRUE(input.AddBuffer(receiver.buffers[0]).ok());  // reset over: the input takes it
  input.Close();

  WaveFormatEx adpcm = DefaultPcmFormat();
  adpcm.wFormatTag = 0x11;
  EXPECT_EQ(input.Open(adpcm.ToBytes(), receiver).kind, DeviceErrorKind::FormatNotSupported);
  EXPECT_TRUE(input.SupportsFormat(MakePcmFormat(8000, 2, 8).ToBytes()));
  EXPECT_FALSE(input.SupportsFormat(MakePcmFormat(22050, 3, 16).ToBytes()));
}

TEST(SimWaveInput, SoundFollowsTheSimulatedCard) {
  ManualClock clock;
  KelmoSimCardState card{};
  card.band = KELMO_SIM_BAND_FM, card.audioSelector = 1, card.stationFound = 1;
  card.stationMhz = 98.1, card.stationStrength = 31;
  bool cardPresent = true;
  SimWaveInput input(clock, [&](KelmoSimCardState& s) {
    s = card;
    return cardPresent;
  });
  auto recordOneSecond = [&] {
    test::WaveReceiver receiver(input);
    EXPECT_TRUE(input.Open(DefaultPcmFormat().ToBytes(), receiver).ok());
    EXPECT_TRUE(receiver.QueueAll());
    EXPECT_TRUE(input.Start().ok());
    clock.Advance(1);
    input.Reset();
    input.Close();
    return Listen(receiver.bytes);
  };
  // A steady tone at the station's own pitch: another station sounds different.
  const Heard tone = recordOneSecond();
  EXPECT_GT(tone.peak, 20000);
  EXPECT_GT(tone.hz, 390);  // a tone, not noise
  card.stationMhz = 101.3;
  EXPECT_GT(std::abs(recordOneSecond().hz - tone.hz), 20);

  card.audioSelector = 0;  // muted
  EXPECT_EQ(recordOneSecond().peak, 0);
  card.audioSelector = 1;
  card.stationFound = 0;  // off-station: low noise
  const int hiss = recordOneSecond().peak;
  EXPECT_GT(hiss, 0);
  EXPECT_LT(hiss, 1000);
  cardPresent = false;  // no simulated card: noise as well
  EXPECT_LT(recordOneSecond().peak, 1000);
}

}  // namespace
}  // namespace kelmo
