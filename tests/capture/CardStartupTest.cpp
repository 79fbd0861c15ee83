#include <gtest/gtest.h>

#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

using CardStartupTest = SimCardFixture;

TEST_F(CardStartupTest, ExitSilencesTheCardUnlessSoundOnWasChosen) {
  context->tuner.TuneTv(48.25f);
  context->cardStartup.StopCard();
  EXPECT_EQ(Log().back(), "GPIO 0");
  EXPECT_FALSE(context->card.IsLoaded());

  context->cardStartup.StartCard();
  context->tuner.TuneTv(48.25f);
  context->state.soundOnAtExit = 1;
  const int64_t before = clock.SleptMilliseconds();
  context->cardStartup.StopCard();
  EXPECT_EQ(clock.SleptMilliseconds() - before, 500);
  EXPECT_EQ(Log().back(), "GPIO 3");
}

}  // namespace
}  // namespace kelmo::test
