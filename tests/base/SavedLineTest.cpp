#include <gtest/gtest.h>

#include "base/SavedLine.h"

namespace kelmo {
namespace {

// The name without its folder, the length from minutes to hours, the size from kB to MB (one
// decimal below ten, rounded, never a locale's comma), and a video recording's frame counts.
TEST(SavedLineTest, NamesTheFileItsLengthItsSizeAndItsFrames) {
  EXPECT_EQ(FormatSavedLine("/home/ana/Kelmo.07_21.30.wav", 724'000, 103'400'000),
            "Saved Kelmo.07_21.30.wav \u2014 12:04, 103 MB");
  EXPECT_EQ(FormatSavedLine("Kelmo.07.wma", 59'999, 499), "Saved Kelmo.07.wma \u2014 0:59, 0 kB");
  EXPECT_EQ(FormatSavedLine("/v/Kelmo.avi", 3'723'000, 9'960'000, SavedFrames{93075, 3}),
            "Saved Kelmo.avi \u2014 1:02:03, 10 MB, 93075 frames (3 dropped)");
  EXPECT_EQ(FormatSavedLine("/v/a.avi", 1000, 1'049'999), "Saved a.avi \u2014 0:01, 1.0 MB");
  EXPECT_EQ(FormatSavedLine("/v/a.avi", 1000, 999'499), "Saved a.avi \u2014 0:01, 999 kB");
}

}  // namespace
}  // namespace kelmo
