#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "support/RecordingLog.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A user id that no account of the machine has: the "other user" of these tests.
constexpr uid_t kOtherUser = 54321;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// A pipe, a device, a folder or a file too large stand where a data file should be: each is
// refused at once with what it is, and a write leaves it as it was.
TEST(AtomicFile, SpecialAndOversizedFilesAreRefusedWithoutWaiting) {
  TempDir dir;
  test::RecordingLog log;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero");
  fs::create_directory(dir / "folder");
  WriteFile(dir / "large", std::string(101, 'x'));

  for (const char* name : {"pipe", "zero", "folder"}) {
    const FileContents read = ReadRegularFile(dir / name);  // the pipe has no writer: no wait
    EXPECT_EQ(read.result.kind, FileErrorKind::NotRegular) << name;
    EXPECT_EQ(ReplaceFileContents(dir / name, "x").kind, FileErrorKind::NotRegular) << name;
  }
  EXPECT_EQ(ReadRegularFile(dir / "pipe").result.reason, "it is a named pipe, not a file");
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_TRUE(log.Has(LogLevel::Warning, "files", (dir / "zero").string() + " refused: it is a"));

  EXPECT_EQ(ReadRegularFile(dir / "large", 100).result.kind, FileErrorKind::TooLarge);
  EXPECT_EQ(ReadRegularFile(dir / "large", 101).bytes.size(), 101u);
  const FileContents missing = ReadRegularFile(dir / "none");
  EXPECT_TRUE(missing.result && missing.missing);
}

// Another user's link, a link to another user's file, another user's file itself and a link into
// nothing are never written through; the user's own link to the user's own file is.
TEST(AtomicFile, LinksAreFollowedOnlyWhenTheUserOwnsThemAndWhereTheyLead) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user id needs root";
  TempDir dir;
  WriteFile(dir / "mine", "old");
  fs::create_symlink("mine", dir / "own-link");
  ASSERT_TRUE(ReplaceFileContents(dir / "own-link", "new"));
  EXPECT_EQ(ReadFile(dir / "mine"), "new");
  EXPECT_TRUE(fs::is_symlink(dir / "own-link"));
  EXPECT_EQ(ReadRegularFile(dir / "own-link").bytes, "new");

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
  EXPECT_EQ(ReadFile(dir / "theirs"), "precious");
  struct stat info {};
  ASSERT_EQ(::stat((dir / "theirs").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kOtherUser);
  EXPECT_EQ(ReadFile(dir / "mine"), "new");
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

// A file its owner made read-only is not replaced (root could); an existing file keeps its
// permissions and a new one gets what the umask allows.
TEST(AtomicFile, ReadOnlyFilesStayAndPermissionsFollowTheFileOrTheUmask) {
  TempDir dir;
  WriteFile(dir / "locked", "keep");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::group_read);
  const FileResult refused = ReplaceFileContents(dir / "locked", "lost");
  EXPECT_EQ(refused.kind, FileErrorKind::ReadOnly);
  EXPECT_EQ(refused.reason, "it is read-only");
  EXPECT_EQ(ReadFile(dir / "locked"), "keep");

  WriteFile(dir / "shared", "a");
  ::chmod((dir / "shared").c_str(), 0640);
  const mode_t previous = ::umask(077);
  ASSERT_TRUE(ReplaceFileContents(dir / "shared", "b"));
  ASSERT_TRUE(ReplaceFileContents(dir / "private", "c"));
  ::umask(022);
  ASSERT_TRUE(ReplaceFileContents(dir / "sub" / "open", "d"));
  ::umask(previous);
  EXPECT_EQ(ModeOf(dir / "shared"), 0640u);
  EXPECT_EQ(ModeOf(dir / "private"), 0600u);
  EXPECT_EQ(ModeOf(dir / "sub" / "open"), 0644u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 4);
}

}  // namespace
}  // namespace kelmo
