#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// A pipe (no writer: no wait), a device, a folder or an oversized file is refused with what it
// is, and a write leaves it be; so is a file its owner made read-only (root could write it). An
// existing file keeps its mode, a new one gets what the umask allows.
TEST(AtomicFile, SpecialLargeAndReadOnlyFilesAreRefusedAndModesFollowTheUmask) {
  test::TempDir dir;
  test::RecordingLog log;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero");
  fs::create_directory(dir / "folder");
  for (const char* name : {"pipe", "zero", "folder"}) {
    EXPECT_EQ(ReadRegularFile(dir / name).result.kind, FileErrorKind::NotRegular) << name;
    EXPECT_EQ(ReplaceFileContents(dir / name, "x").kind, FileErrorKind::NotRegular) << name;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_TRUE(log.Has(LogLevel::Warning, "files", "pipe refused: it is a named pipe, not a file"));
  WriteFile(dir / "large", std::string(101, 'x'));
  EXPECT_EQ(ReadRegularFile(dir / "large", 100).result.kind, FileErrorKind::TooLarge);
  EXPECT_TRUE(ReadRegularFile(dir / "none").missing);

  ::chmod((dir / "large").c_str(), 0440);
  EXPECT_EQ(ReplaceFileContents(dir / "large", "lost").reason, "it is read-only");
  EXPECT_EQ(ReadFile(dir / "large").size(), 101u);
  WriteFile(dir / "shared", "a");
  ::chmod((dir / "shared").c_str(), 0640);
  const mode_t previous = ::umask(077);
  EXPECT_TRUE(ReplaceFileContents(dir / "shared", "b"));
  EXPECT_TRUE(ReplaceFileContents(dir / "private", "c"));
  ::umask(022);
  EXPECT_TRUE(ReplaceFileContents(dir / "sub" / "open", "d"));
  ::umask(previous);
  EXPECT_EQ(ModeOf(dir / "shared"), 0640u);
  EXPECT_EQ(ModeOf(dir / "private"), 0600u);
  EXPECT_EQ(ModeOf(dir / "sub" / "open"), 0644u);
}

// Another user's link, a link to another user's file, that file itself and a link into nothing
// are never written (nor read) through; the user's own link to the user's own file is.
TEST(AtomicFile, LinksAreFollowedOnlyWhenTheUserOwnsThemAndWhereTheyLead) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user id needs root";
  constexpr uid_t kOtherUser = 54321;  // an id no account of the machine has
  test::TempDir dir;
  WriteFile(dir / "mine", "old");
  fs::create_symlink("mine", dir / "own-link");
  ASSERT_TRUE(ReplaceFileContents(dir / "own-link", "new"));
  EXPECT_EQ(ReadRegularFile(dir / "own-link").bytes, "new");
  EXPECT_TRUE(fs::is_symlink(dir / "own-link"));

  WriteFile(dir / "theirs", "precious");
  ASSERT_EQ(::chown((dir / "theirs").c_str(), kOtherUser, kOtherUser), 0);
  fs::create_symlink(dir / "theirs", dir / "to-theirs");
  fs::create_symlink(dir / "mine", dir / "planted");
  ASSERT_EQ(::lchown((dir / "planted").c_str(), kOtherUser, kOtherUser), 0);
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  for (const char* name : {"to-theirs", "planted", "dangling"}) {
    EXPECT_EQ(ReplaceFileContents(dir / name, "evil").kind, FileErrorKind::ForeignLink) << name;
    EXPECT_EQ(ReadRegularFile(dir / name).result.kind, FileErrorKind::ForeignLink) << name;
  }
  EXPECT_EQ(ReplaceFileContents(dir / "theirs", "evil").kind, FileErrorKind::ForeignFile);
  struct stat info {};
  ASSERT_EQ(::stat((dir / "theirs").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kOtherUser);
  EXPECT_EQ(ReadFile(dir / "theirs"), "precious");
  EXPECT_EQ(ReadFile(dir / "mine"), "new");
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

}  // namespace
}  // namespace kelmo
