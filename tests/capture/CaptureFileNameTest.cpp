#include <gtest/gtest.h>

#include "capture/CaptureFileName.h"
#include "capture/CaptureRig.h"
#include "platform/sim/ManualClock.h"

namespace kelmo {
namespace {

TEST(CaptureFileName, AnExistingRecordingOfAnyKindIsNeverReused) {
  setenv("TZ", "UTC", 1);
  test::TempDir dir;
  const std::string saveDir = dir.Path().string() + "/";
  ManualClock clock(1709674215);  // 2024-03-05 21:30:15 UTC
  test::CaptureRig rig;
  CaptureDriver capture;
  capture.SetWindow(&rig.window);
  BuildCaptureFileName(capture, saveDir, clock);
  EXPECT_EQ(capture.captureFileName, saveDir + "Kelmo.05_21.30.15.avi");
  EXPECT_EQ(rig.window.CaptureFile(), capture.captureFileName);

  test::WriteFile(dir / "Kelmo.05_21.30.15.wav", "RIFF");  // a sound recording of that second
  BuildCaptureFileName(capture, saveDir, clock);
  EXPECT_EQ(capture.captureFileName, saveDir + "Kelmo.05_21.30.15-2.avi");
  test::WriteFile(dir / "Kelmo.05_21.30.15-2.wma", "");
  test::WriteFile(dir / "Kelmo.05_21.30.15-3.avi", "");
  BuildCaptureFileName(capture, saveDir, clock);
  EXPECT_EQ(capture.captureFileName, saveDir + "Kelmo.05_21.30.15-4.avi");

  // At second 0 the name has no seconds.
  ManualClock nextMonth(1712302200);  // 2024-04-05 07:30:00 UTC
  test::WriteFile(dir / "Kelmo.05_07.30.avi", "");
  BuildCaptureFileName(capture, saveDir, nextMonth);
  EXPECT_EQ(capture.captureFileName, saveDir + "Kelmo.05_07.30-2.avi");
}

}  // namespace
}  // namespace kelmo
