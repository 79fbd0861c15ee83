#include <gtest/gtest.h>

#include "app/ProfileBlock.h"
#include "app/ProfileFile.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ProfileBlock, RoundTripsLowHalfFirstAndRejectsMalformedText) {
  const std::vector<uint8_t> bytes{0x00, 0x1F, 0xA5, 0xFF};
  const std::string text = EncodeProfileBlock(bytes);
  EXPECT_EQ(text, "AAPBFKPP");
  EXPECT_EQ(DecodeProfileBlock(text), bytes);

  EXPECT_FALSE(DecodeProfileBlock("AAP"));  // odd length
  EXPECT_FALSE(DecodeProfileBlock("AQ"));   // 'Q' is past 'P'
  EXPECT_FALSE(DecodeProfileBlock("aa"));   // lower case is not a letter of the code
  EXPECT_FALSE(DecodeProfileBlock("@A"));
}

TEST(ProfileFile, MissingFileAndKeysGiveDefaultsAndAWriteCreatesFolderAndFile) {
  TempDir dir;
  ProfileFile file(dir / "sub" / "config.dat");
  EXPECT_EQ(file.GetProfileInt("General", "Tuner", 2), 2);
  EXPECT_EQ(file.GetProfileString("General", "SaveDir", "/x/"), "/x/");
  EXPECT_FALSE(file.GetProfileBinary("Video", "AudioFormat"));

  ASSERT_TRUE(file.WriteProfileInt("General", "Tuner", 1));
  ASSERT_TRUE(file.WriteProfileInt("General", "Channel", -4));
  ASSERT_TRUE(file.WriteProfileBinary("Video", "VideoFormat", std::vector<uint8_t>{}));
  EXPECT_EQ(ReadFile(dir / "sub" / "config.dat"),
            "[General]\nTuner=1\nChannel=-4\n[Video]\nVideoFormat=\n");
  EXPECT_EQ(file.GetProfileInt("General", "Tuner", 2), 1);
  EXPECT_EQ(file.GetProfileInt("General", "Channel", 0), -4);
  // An empty value is no block, and an empty integer gives the default.
  EXPECT_FALSE(file.GetProfileBinary("Video", "VideoFormat"));
  EXPECT_EQ(file.GetProfileInt("Video", "VideoFormat", 7), 7);
  // A value holding a line break would split its line: refused, file unchanged.
  EXPECT_FALSE(file.WriteProfileString("General", "SaveDir", "/a\nb/"));
  EXPECT_EQ(file.GetProfileString("General", "SaveDir", "none"), "none");
  // In a batch, only that change is left out.
  ProfileChanges changes;
  changes.WriteProfileString("General", "SaveDir", "/a\nb/");
  changes.WriteProfileInt("General", "Tuner", 0);
  EXPECT_FALSE(file.Write(changes));
  EXPECT_EQ(file.GetProfileInt("General", "Tuner", 2), 0);
  EXPECT_EQ(file.GetProfileString("General", "SaveDir", "none"), "none");
}

TEST(ProfileFile, WindowsFileKeepsEveryOtherByteAndItsLineEnds) {
  TempDir dir;
  const std::string original =
      "\xEF\xBB\xBF; written by hand\r\n"
      "[general]\r\n"
      "TUNER = 0 \r\n"
      "ProfilesCount=2\r\n"
      "\r\n"
      "[Foreign]\r\n"
      "Key=With=Equals\r\n"
      "Channel=99\r\n"
      "[Audio]\r\n"
      "WMA=1";  // no line end after the last line
  WriteFile(dir / "config.dat", original);
  ProfileFile file(dir / "config.dat");

  // Names match in any case; values lose their blanks; only the first '=' splits.
  EXPECT_EQ(file.GetProfileInt("General", "Tuner", 2), 0);
  EXPECT_EQ(file.GetProfileString("FOREIGN", "key", ""), "With=Equals");
  EXPECT_EQ(file.GetProfileInt("General", "Channel", 5), 5);  // Foreign's Channel is not General's

  ASSERT_TRUE(file.WriteProfileInt("General", "Tuner", 1));
  ASSERT_TRUE(file.WriteProfileInt("General", "Channel", 3));
  ASSERT_TRUE(file.WriteProfileInt("Audio", "WMABitRate", 64000));
  ASSERT_TRUE(file.WriteProfileString("Video", "AudioFormat", ""));
  EXPECT_EQ(ReadFile(dir / "config.dat"),
            "\xEF\xBB\xBF; written by hand\r\n"
            "[general]\r\n"
            "TUNER=1\r\n"
            "ProfilesCount=2\r\n"
            "Channel=3\r\n"
            "\r\n"
            "[Foreign]\r\n"
            "Key=With=Equals\r\n"
            "Channel=99\r\n"
            "[Audio]\r\n"
            "WMA=1\r\n"
            "WMABitRate=64000\r\n"
            "[Video]\r\n"
            "AudioFormat=\r\n");
}

TEST(ProfileFile, IntegersReadLikeTheWindowsVersion) {
  TempDir dir;
  WriteFile(dir / "config.dat", "[G]\nA=+12abc\nB=x\nC=99999999999\nD=-99999999999\n");
  ProfileFile file(dir / "config.dat");
  EXPECT_EQ(file.GetProfileInt("G", "A", 0), 12);
  EXPECT_EQ(file.GetProfileInt("G", "B", 5), 0);
  EXPECT_EQ(file.GetProfileInt("G", "C", 0), INT32_MAX);
  EXPECT_EQ(file.GetProfileInt("G", "D", 0), INT32_MIN);
  // Read once, at the first key: the later keys come from that reading, not from the disk again.
  std::filesystem::remove(dir / "config.dat");
  EXPECT_EQ(file.GetProfileInt("G", "A", 0), 12);
  EXPECT_TRUE(file.ReadResult());
}

}  // namespace
}  // namespace kelmo
