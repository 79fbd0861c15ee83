#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "capture/CaptureFileName.h"
#include "capture/CaptureRig.h"
#include "platform/RecordingFile.h"
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

TEST(RecordingFile, NothingPlantedUnderTheNameIsWrittenThroughAndAFailedStartLeavesNoFile) {
  test::TempDir dir;
  const auto at = [&](const char* name) { return (dir / name).string(); };
  test::WriteFile(dir / "precious", "keep me");
  std::filesystem::create_symlink(at("precious"), at("Kelmo.05_21.30.wav"));
  std::filesystem::create_symlink(at("nowhere"), at("Kelmo.05_21.30-2.wav"));  // dangling
  std::string path = at("Kelmo.05_21.30.wav");
  RecordingFile file;
  ASSERT_TRUE(file.Create(path));
  EXPECT_EQ(path, at("Kelmo.05_21.30-3.wav"));
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_TRUE(file.Write(bytes, 3));
  file.Close();
  EXPECT_EQ(test::ReadFile(dir / "precious"), "keep me");
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere"));
  EXPECT_EQ(std::filesystem::file_size(path), 3u);

  // The simulated full disk: writes stop at its size, and what is left of it is the free space.
  ::setenv("KELMO_SIM_DISK_FULL_AFTER", "5", 1);
  std::string second = at("second.wav");
  ASSERT_TRUE(file.Create(second));
  ::unsetenv("KELMO_SIM_DISK_FULL_AFTER");
  EXPECT_EQ(file.FreeBytes(), 5u);
  EXPECT_FALSE(file.Write(bytes, 3) && file.Write(bytes, 3));
  EXPECT_TRUE(IsDiskFullError(file.Error()));
  EXPECT_EQ(file.Size(), 5u);
  file.Discard();
  EXPECT_FALSE(std::filesystem::exists(second));

  // A real write refused for its size (EFBIG, as a quota or a file size limit refuses it) is a
  // full disk too.
  ASSERT_TRUE(file.Create(second));
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit tiny{4, limit.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &tiny);
  const bool written = file.Write(bytes, 3) && file.Write(bytes, 3);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_TRUE(IsDiskFullError(file.Error())) << file.Error();
}

}  // namespace
}  // namespace kelmo
