#include <gtest/gtest.h>

#include "platform/sim/ManualClock.h"

namespace kelmo {
namespace {

TEST(ManualClock, CalendarRoundTripAcrossLeapDaysAnd2038) {
  ManualClock clock;
  // 2000-02-29 12:34:56 UTC, and a date past the 32-bit overflow.
  for (int64_t instant : {951827696LL, 4102444799LL, 0LL}) {
    const LocalTime t = clock.ToLocal(instant);
    EXPECT_EQ(clock.FromLocal(t), instant);
  }
  const LocalTime leap = clock.ToLocal(951827696);
  EXPECT_EQ(leap.year, 2000);
  EXPECT_EQ(leap.month, 2);
  EXPECT_EQ(leap.day, 29);
  EXPECT_EQ(leap.hour, 12);
  EXPECT_EQ(leap.minute, 34);
  EXPECT_EQ(leap.second, 56);
  EXPECT_EQ(leap.weekday, 2);  // a Tuesday
}

TEST(ManualClock, SleepAdvancesInsteadOfBlocking) {
  ManualClock clock(100);
  clock.Sleep(1500);
  clock.Sleep(600);
  EXPECT_EQ(clock.Now(), 102);
  EXPECT_EQ(clock.SleptMilliseconds(), 2100);
}

}  // namespace
}  // namespace kelmo
