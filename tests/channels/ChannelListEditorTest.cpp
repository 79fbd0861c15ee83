#include <gtest/gtest.h>

#include "base/Frequency.h"
#include "channels/BandRaster.h"
#include "channels/ChannelListEditor.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

// Every position's text reads back as that position, and every TV search carrier (three runs of
// the band plan) lies on the raster.
TEST(BandRaster, PositionsAndTextsRoundTripAndTheTvCarriersLieOnTheRaster) {
  for (int32_t p = 0; p <= kFmRaster.lastPosition; ++p)
    ASSERT_EQ(PositionOf(kFmRaster, PositionText(kFmRaster, p)), p);
  for (int32_t p = 0; p <= kTvRaster.lastPosition; ++p)
    ASSERT_EQ(PositionOf(kTvRaster, PositionText(kTvRaster, p)), p);
  EXPECT_EQ(PositionOf(kFmRaster, "100.05"), 251);
  EXPECT_EQ(PositionText(kTvRaster, 3269), "855.25");
  // Texts off the raster are held to its ends, as the slider holds them.
  EXPECT_EQ(PositionOf(kTvRaster, "900"), 3269);
  EXPECT_EQ(PositionOf(kTvRaster, "abc"), 0);

  const auto& f = TvSearchFrequencies();
  EXPECT_EQ(f[0], 48.25f);
  EXPECT_EQ(f[5], 83.25f);
  EXPECT_EQ(f[6], 105.25f);
  EXPECT_EQ(f[33], 294.25f);
  EXPECT_EQ(f[34], 303.25f);
  EXPECT_EQ(f[103], 855.25f);
  for (float mhz : f)
    EXPECT_EQ(PositionMhz(kTvRaster, PositionOf(kTvRaster, FormatFrequency(mhz))), mhz);
}

class ChannelListEditorTest : public ::testing::Test {
 protected:
  std::filesystem::path FilePath() const { return dir / "Channels.dat"; }

  ChannelListEditor& Open(ChannelBand band) {
    file = std::make_unique<ChannelFile>(dir.Path(), messages);
    editor = std::make_unique<ChannelListEditor>(band, tables, *file, messages);
    editor->Open();
    return *editor;
  }

  static std::vector<std::string> Rows(const ChannelListEditor& e) {
    std::vector<std::string> out;
    for (const ChannelEntry& row : e.Rows()) out.push_back(row.name + " " + row.frequency);
    return out;
  }

  test::TempDir dir;
  test::RecordingMessages messages;
  ChannelTables tables;
  std::unique_ptr<ChannelFile> file;
  std::unique_ptr<ChannelListEditor> editor;
};

TEST_F(ChannelListEditorTest, SortIsASelectionSortWithWholeMhzTies) {
  ChannelListEditor& tv = Open(ChannelBand::Tv);
  for (auto [name, f] : {std::pair{"c", "471.75"},
                         {"b", "855.25"},
                         {"a", "471.25"},
                         {"d", "48.25"},
                         {"e", "471.50"}}) {
    tv.Add(name, f);
  }
  tv.Sort(1);
  // The swaps leave the three 471s as a, c, e (a stable sort would give c, a, e).
  EXPECT_EQ(Rows(tv),
            (std::vector<std::string>{"d 48.25", "a 471.25", "c 471.75", "e 471.50", "b 855.25"}));
  tv.Sort(0);
  EXPECT_EQ(Rows(tv),
            (std::vector<std::string>{"a 471.25", "b 855.25", "c 471.75", "d 48.25", "e 471.50"}));
  EXPECT_EQ(WholeMhz(" -3.9"), -3);
  EXPECT_EQ(WholeMhz("1e3"), 1);
}

TEST_F(ChannelListEditorTest, The101stTvRowAndThe51stFmRowAreRefusedAndNamesAreCut) {
  ChannelListEditor& tv = Open(ChannelBand::Tv);
  for (int p = 0; p < 100; ++p) ASSERT_EQ(tv.Add("t", PositionText(kTvRaster, p)), p);
  EXPECT_EQ(tv.Add("renamed", PositionText(kTvRaster, 7)), 7);  // a rename still works
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(tv.Add("t", "855.25"), -1);
  EXPECT_EQ(tv.Rows().size(), 100u);

  EXPECT_EQ(tv.MoveDown(99), -1);  // moves stop at the ends
  ChannelListEditor& fm = Open(ChannelBand::Fm);
  for (int p = 0; p < 50; ++p) ASSERT_EQ(fm.Add("f", "88.00"), p);
  EXPECT_EQ(fm.Append("f", "88.00"), -1);
  ChannelListEditor& cut = Open(ChannelBand::Fm);  // a record holds 79 bytes of name
  EXPECT_EQ(cut.Rows()[cut.Add(std::string(90, 'x'), "88.00")].name, std::string(79, 'x'));
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"The limit is 100 TV Channels.",
                                                        "The limit is 50 FM Channels."}));
}

TEST_F(ChannelListEditorTest, AFileThatCannotBeReadLeavesTheTableAsItWas) {
  tables.fm.count = 1;
  tables.fm.entries[0] = {"Radio", "100.10"};
  std::filesystem::create_directory(FilePath());  // cannot be opened as a file
  ChannelListEditor& fm = Open(ChannelBand::Fm);
  EXPECT_EQ(fm.Rows().size(), 1u);
  EXPECT_EQ(tables.fm.count, 1);
  EXPECT_EQ(messages.Texts().size(), 1u);
}

}  // namespace
}  // namespace kelmo
