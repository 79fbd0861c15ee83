#include <gtest/gtest.h>

#include "app/KelmoContext.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "schedule/ScheduleTicker.h"
#include "support/Fakes.h"

namespace kelmo {
namespace {

struct TickFixture : ::testing::Test {
  ManualClock clock{10 * 3600 + 5 * 60 + 7};  // 10:05:07 (the manual clock is UTC)
  test::RecordingMessages messages;
  RecordingPower power;
  test::RecordingShell shell;
  KelmoContext ctx{clock, messages, power, shell, "/nonexistent"};
  test::RecordingView view;
  ScheduleTicker ticker{ctx.state, ctx.clock, ctx.capture, view};
};

TEST_F(TickFixture, ShowsClockAndOverlayWhileNothingRecords) {
  view.statusLine = "old status";
  ctx.state.overlayOn = 1;
  EXPECT_TRUE(ticker.ScheduleTick());
  EXPECT_EQ(view.clockText, "10:05:07");
  EXPECT_EQ(view.statusLine, "");
  EXPECT_EQ(view.overlayText, "Overlay ON");

  ctx.state.overlayOn = 0;
  clock.Advance(3600 * 14);  // past midnight: 00:05:07
  ticker.ScheduleTick();
  EXPECT_EQ(view.clockText, "00:05:07");
  EXPECT_EQ(view.overlayText, "Overlay OFF");
}

TEST_F(TickFixture, RecordingOwnsClockAndStatusLine) {
  ctx.state.recordingToFile = 1;
  view.statusLine = "recording...";
  view.clockText = "RECORDING";
  ticker.ScheduleTick();
  EXPECT_EQ(view.clockWrites, 0);
  EXPECT_EQ(view.clockText, "RECORDING");
  EXPECT_EQ(view.statusLine, "recording...");
  EXPECT_EQ(view.overlayText, "Overlay OFF");  // the overlay field is still the tick's
}

TEST_F(TickFixture, BusyTickDoesNothingAndLeavesTheGuard) {
  ctx.state.timerBusy = 1;
  EXPECT_FALSE(ticker.ScheduleTick());
  EXPECT_EQ(view.clockWrites, 0);
  EXPECT_EQ(view.overlayText, "");
  EXPECT_EQ(ctx.state.timerBusy, 1);

  ctx.state.timerBusy = 0;
  EXPECT_TRUE(ticker.ScheduleTick());
  EXPECT_EQ(ctx.state.timerBusy, 0);
}

}  // namespace
}  // namespace kelmo
