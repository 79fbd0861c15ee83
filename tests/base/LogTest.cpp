#include <gtest/gtest.h>

#include <clocale>

#include "base/Log.h"
#include "platform/linux/SpdLogSink.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

TEST(Log, LinesReachTheInstalledSinkInTheCLocaleAndDebugOnlyWhenAsked) {
  const char* before = std::setlocale(LC_ALL, nullptr);
  const std::string saved = before ? before : "C";
  const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  {
    test::RecordingLog log;
    LogInfo("tuner", "tuned %.2f MHz", 855.25);
    LogDebug("tuner", "not asked for");
    SetLogDebug(true);
    LogDebug("tuner", "asked for %d", 1);
    SetLogDebug(false);
    LogError("capture", "%s", "device gone");
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "tuned 855.25 MHz");
    EXPECT_EQ(lines[1].text, "asked for 1");
    EXPECT_TRUE(log.Has(LogLevel::Error, "capture", "device gone"));
    {
      test::RecordingLog inner;
      LogWarning("audio", "overrun");
      EXPECT_TRUE(inner.Has(LogLevel::Warning, "audio", "overrun"));
    }
    LogInfo("audio", "back to the outer log");
    EXPECT_TRUE(log.Has(LogLevel::Info, "audio", "back to the outer log"));
  }
  std::setlocale(LC_ALL, saved.c_str());
  if (!german) GTEST_SKIP() << "no de_DE.UTF-8 locale: the number was not tried with a comma";
}

TEST(SpdLogSink, WritesTimedLinesIntoAPrivateFolderAndRotatesAtAMebibyte) {
  test::TempDir dir;
  const auto file = dir / "state/kelmo/kelmo.log";
  {
    SpdLogSink sink(file, SpdLogSink::Stderr::No);
    ASSERT_TRUE(sink.FileError().empty()) << sink.FileError();
    ScopedLogSink installed(sink);
    LogWarning("schedule", "program %d eliminated", 3);
    const std::string text = test::ReadFile(file);
    // A warning is on the disk at once, with its date, level and module.
    EXPECT_NE(text.find("warning [schedule] program 3 eliminated"), std::string::npos) << text;
    EXPECT_EQ(text.substr(0, 2), "20");
    EXPECT_EQ(std::filesystem::status(file.parent_path()).permissions(),
              std::filesystem::perms::owner_all);
    const std::string filler(1000, 'x');
    for (int i = 0; i < 3200; ++i) LogInfo("capture", "%s", filler.c_str());
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "state/kelmo/kelmo.1.log"));
  EXPECT_FALSE(std::filesystem::exists(dir / "state/kelmo/kelmo.4.log"));
  EXPECT_LE(std::filesystem::file_size(file), 1024u * 1024u);

  test::WriteFile(dir / "plain", "a file, not a folder");
  SpdLogSink nowhere(dir / "plain/kelmo.log", SpdLogSink::Stderr::No);
  EXPECT_FALSE(nowhere.FileError().empty());
  nowhere.Write(LogLevel::Info, "app", "a log without its file does not throw");
}

}  // namespace
}  // namespace kelmo
