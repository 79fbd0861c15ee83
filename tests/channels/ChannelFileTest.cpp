#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <clocale>
#include <csignal>
#include <string>
#include <type_traits>

#include "base/Frequency.h"
#include "channels/ChannelFile.h"
#include "channels/ChannelLists.h"
#include "support/ChannelBytes.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

using test::ReadFile;
using test::Record;
using test::U32;
using test::WriteFile;

// One TV channel with a four-letter name at 48.25 MHz and no FM stations.
const std::string kExample = U32(1) + Record("ARD1", "48.25") + U32(0);

class ChannelFileTest : public ::testing::Test {
 protected:
  std::filesystem::path FilePath() const { return dir / "Channels.dat"; }

  // The start-up read, as the main window does it, into fresh tables.
  ChannelTables StartUp() {
    ChannelTables tables;
    LoadChannelLists(dir.Path(), messages, tables);
    return tables;
  }

  // A channel dialog's OK: the file read again, one list written into it, and saved.
  template <typename Table>
  bool Rewrite(const Table& table, int32_t count) {
    ChannelFile file(dir.Path(), messages);
    if (!file.Load()) return false;
    if constexpr (std::is_same_v<Table, TvChannelTable>) {
      file.WriteTvChannels(table, count);
    } else {
      file.WriteFmChannels(table, count);
    }
    return file.Save();
  }

  test::TempDir dir;
  test::RecordingMessages messages;
};

TEST_F(ChannelFileTest, MissingAndEmptyFilesBecomeEightZeroBytesAndTheExampleRoundTrips) {
  StartUp();
  EXPECT_EQ(ReadFile(FilePath()), std::string(8, '\0'));
  WriteFile(FilePath(), "");
  EXPECT_EQ(StartUp().fm.count, 0);
  EXPECT_EQ(ReadFile(FilePath()), std::string(8, '\0'));

  WriteFile(FilePath(), kExample);
  ChannelTables c = StartUp();
  ASSERT_EQ(c.tv.count, 1);
  EXPECT_EQ(c.tv.entries[0].name, "ARD1");
  EXPECT_EQ(c.tv.entries[0].frequency, "48.25");
  WriteFile(FilePath(), "");
  ASSERT_TRUE(Rewrite(c.tv, 1));
  EXPECT_EQ(ReadFile(FilePath()), kExample);
  EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ChannelFileTest, RewritesKeepTheOtherSectionAndTheTrailingBytes) {
  const std::string tv = U32(2) + Record("One", "55.25") + Record("", "62.25");
  const std::string fm = U32(1) + Record("Radio", "87.50");
  const std::string trailing = "\x01\x02tail";
  WriteFile(FilePath(), tv + fm + trailing);
  ChannelTables c = StartUp();
  EXPECT_EQ(c.tv.entries[1].name, "");  // an empty name reads back empty
  EXPECT_EQ(ReadFile(FilePath()), tv + fm + trailing);

  // An FM rewrite leaves the TV section byte for byte.
  c.fm.entries[1] = {"Dos", "100.10"};
  ASSERT_TRUE(Rewrite(c.fm, 2));
  const std::string fm2 = U32(2) + Record("Radio", "87.50") + Record("Dos", "100.10");
  EXPECT_EQ(ReadFile(FilePath()), tv + fm2 + trailing);

  // A shorter TV section: the FM section follows it at once; the file keeps its old length and
  // the stale bytes after the new end are ignored.
  ASSERT_TRUE(Rewrite(c.tv, 1));
  const std::string shorter = U32(1) + Record("One", "55.25") + fm2 + trailing;
  const std::string written = ReadFile(FilePath());
  ASSERT_EQ(written.size(), (tv + fm2 + trailing).size());
  EXPECT_EQ(written.substr(0, shorter.size()), shorter);
  EXPECT_EQ(StartUp().fm.count, 2);
  EXPECT_TRUE(messages.Shown().empty());
}

struct Damage {
  const char* what;
  std::string bytes;
  int32_t tvCount;
  int32_t fmCount;
  const char* reported;  // a piece of the message
};

TEST_F(ChannelFileTest, EachKindOfDamageIsKeptReadAsFarAsSoundAndReportedOnce) {
  const std::string good = Record("Good", "55.25");
  std::string manyTv = U32(101);
  for (int i = 0; i < 101; ++i) manyTv += good;
  const std::string longName(85, 'x');
  const Damage cases[] = {
      {"short file", "\x01\x00", 0, 0, "The TV count is missing."},
      {"count past the image", U32(3) + good, 1, 0, "says 3 channels, but the file ends after 1"},
      {"length past the image", U32(1) + good + U32(1) + U32(500) + "abc", 1, 0,
       "The FM list says 1 channels"},
      {"missing FM count", U32(1) + good, 1, 0, "The FM count is missing."},
      {"over capacity", manyTv + U32(1) + good, 100, 1, "holds 101 channels; only 100 fit"},
      {"text over 79 bytes", U32(1) + Record(longName, "55.25") + U32(0), 1, 0,
       "the name is 85 bytes long"},
  };
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.what);
    test::TempDir own;
    test::RecordingMessages boxes;
    WriteFile(own / "Channels.dat", d.bytes);
    ChannelTables c;
    LoadChannelLists(own.Path(), boxes, c);
    EXPECT_EQ(c.tv.count, d.tvCount);
    EXPECT_EQ(c.fm.count, d.fmCount);
    EXPECT_EQ(ReadFile(own / "Channels.dat"), d.bytes);
    EXPECT_EQ(ReadFile(own / "Channels.dat.bad"), d.bytes);
    // A channel dialog reading the file again says nothing more.
    ChannelFile dialogFile(own.Path(), boxes);
    dialogFile.Load();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    const std::string text = boxes.Shown()[0].text;
    EXPECT_NE(text.find((own / "Channels.dat").string()), std::string::npos) << text;
    EXPECT_NE(text.find(d.reported), std::string::npos) << text;
    // The long name is cut to its first 79 bytes.
    if (&d == &cases[5]) {
      EXPECT_EQ(c.tv.entries[0].name, std::string(79, 'x'));
    }
  }
}

// Writing either list behind a damaged TV section writes the TV count that was read.
TEST_F(ChannelFileTest, WritingEitherListBehindADamagedTvSectionLeavesASoundFile) {
  const std::string damaged = U32(3) + Record("Good", "55.25") + U32(9) + "Bro";
  const std::string good = U32(1) + Record("Good", "55.25");
  for (bool fm : {false, true}) {
    SCOPED_TRACE(fm ? "FM" : "TV");
    WriteFile(FilePath(), damaged);
    ChannelTables c = StartUp();
    ASSERT_EQ(c.fm.count, 0);
    c.fm.entries[0] = {"Faro", "87.60"};
    ASSERT_TRUE(fm ? Rewrite(c.fm, 1) : Rewrite(c.tv, c.tv.count));
    // The old tail stays behind the new image and is ignored.
    const std::string sound = good + (fm ? U32(1) + Record("Faro", "87.60") : U32(0));
    EXPECT_EQ(ReadFile(FilePath()).substr(0, sound.size()), sound);
    ChannelFile file(dir.Path(), messages);
    ASSERT_TRUE(file.Load());
    EXPECT_TRUE(file.Problems().empty());
  }
  EXPECT_EQ(messages.Shown().size(), 1u);  // the same damage, kept and told once
  EXPECT_EQ(ReadFile(dir / "Channels.dat.bad"), damaged);
}

TEST_F(ChannelFileTest, ACopyOfOtherDamagedBytesIsNeverReplaced) {
  WriteFile(dir / "Channels.dat.bad", "the user's first damaged file");
  std::filesystem::create_directory(dir / "Channels.dat.bad.1");
  const std::string damaged = U32(2) + Record("Good", "55.25");
  WriteFile(FilePath(), damaged);
  StartUp();
  EXPECT_EQ(ReadFile(dir / "Channels.dat.bad"), "the user's first damaged file");
  EXPECT_EQ(ReadFile(dir / "Channels.dat.bad.2"), damaged);
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_NE(messages.Shown()[0].text.find("Channels.dat.bad.2."), std::string::npos);

  // The same damage found again, in another run, is already kept: no new copy, no message.
  StartUp();
  EXPECT_EQ(messages.Shown().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir / "Channels.dat.bad.3"));
}

TEST_F(ChannelFileTest, WithoutACopyOfADamagedFileNothingIsWritten) {
  const std::string damaged = U32(2) + Record("Good", "55.25");
  WriteFile(FilePath(), damaged);
  // A full disk: no file may grow past 8 bytes while the damage is found.
  struct rlimit limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const struct rlimit tiny { 8, limit.rlim_max };
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  ChannelTables c = StartUp();
  ChannelFile file(dir.Path(), messages);
  const bool loaded = file.Load();
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  ASSERT_TRUE(loaded);
  EXPECT_FALSE(std::filesystem::exists(dir / "Channels.dat.bad"));
  file.WriteTvChannels(c.tv, 0);
  EXPECT_FALSE(file.Save());
  EXPECT_EQ(ReadFile(FilePath()), damaged);
  ASSERT_FALSE(messages.Shown().empty());
  EXPECT_NE(messages.Shown()[0].text.find("could not be written"), std::string::npos);
}

// A folder in the file's place: one box that says what stands there, and nothing written.
TEST_F(ChannelFileTest, AFailedOpenIsShownOnceWithItsReasonAndNothingIsWrittenBack) {
  std::filesystem::create_directory(FilePath());
  ChannelTables c = StartUp();
  EXPECT_EQ(c.tv.count, 0);
  EXPECT_EQ(c.fm.count, 0);
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].text,
            "¡No logré abrir " + FilePath().string() + "!\n(it is a folder, not a file)");
  EXPECT_EQ(messages.Shown()[0].caption, "ERROR");
  EXPECT_TRUE(std::filesystem::is_directory(FilePath()));

  // A file removed between loading and saving is not created again by the save.
  std::filesystem::remove(FilePath());
  WriteFile(FilePath(), kExample);
  ChannelFile file(dir.Path(), messages);
  ASSERT_TRUE(file.Load());
  std::filesystem::remove(FilePath());
  file.WriteTvChannels(c.tv, 0);
  EXPECT_FALSE(file.Save());
  EXPECT_FALSE(std::filesystem::exists(FilePath()));
}

// The start-up only reads a sound file; a file the user made read-only is read in full, and a
// dialog's change to it is refused with a box that names the file and why.
TEST_F(ChannelFileTest, StartUpWritesNothingAndAReadOnlyFileIsReadButNotReplaced) {
  WriteFile(FilePath(), kExample);
  std::filesystem::permissions(FilePath(), std::filesystem::perms::owner_read);
  struct stat before {};
  ASSERT_EQ(::stat(FilePath().c_str(), &before), 0);
  ChannelTables c = StartUp();
  struct stat after {};
  ASSERT_EQ(::stat(FilePath().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // a rewrite would put a new file in place
  EXPECT_EQ(c.tv.count, 1);
  EXPECT_TRUE(messages.Shown().empty());
  c.tv.entries[0].name = "Renamed";
  EXPECT_FALSE(Rewrite(c.tv, 1));
  EXPECT_EQ(ReadFile(FilePath()), kExample);
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_NE(messages.Shown()[0].text.find(FilePath().string() + "!\n(it is read-only)"),
            std::string::npos);
}

TEST_F(ChannelFileTest, FrequenciesKeepTheirDotUnderACommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 missing";
  WriteFile(FilePath(), U32(1) + Record("Eins", "855.25") + U32(0));
  ChannelTables c = StartUp();
  const double mhz = ParseFrequency(c.tv.entries[0].frequency);
  c.tv.entries[0].frequency = FormatFrequency(mhz + 1.0);
  const bool written = Rewrite(c.tv, 1);
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_TRUE(written);
  EXPECT_DOUBLE_EQ(mhz, 855.25);
  EXPECT_EQ(ReadFile(FilePath()), U32(1) + Record("Eins", "856.25") + U32(0));
}

}  // namespace
}  // namespace kelmo
