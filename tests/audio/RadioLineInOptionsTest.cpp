#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/AcmFormatTable.h"
#include "audio/RadioLineInOptions.h"
#include "audio/WaveFormat.h"
#include "audio/WmaFormatTable.h"
#include "support/Fakes.h"
#include "support/ScriptedChooser.h"

namespace kelmo {
namespace {

using test::FormatOf;
using ::testing::ElementsAre;

uint32_t RateOf(const std::vector<uint8_t>& block) {
  return WaveFormatEx::FromBytes(block)->nSamplesPerSec;
}

auto WmaChoice(const AudioFormatSettings& f) {
  return std::make_tuple(f.wmaOutput, f.wmaBitrate, f.wmaSampleRate, f.wmaChannels);
}

class RadioLineInOptionsTest : public ::testing::Test {
 protected:
  AudioFormatSettings formats;
  test::ScriptedChooser chooser;
  test::RecordingMessages messages;
  int wmaDialogs = 0;
  RadioLineInOptions options{
      formats, chooser, messages, [this] {
        ++wmaDialogs;
        WmaOptions(formats).OnOK(static_cast<int>(WmaOptions(formats).Rows().size()) - 1);
      }};
};

TEST_F(RadioLineInOptionsTest, ChoosersFollowTheInputAndANewInputClearsCompression) {
  options.ChooseCompressionFormat();

  chooser.Answered(kAcmErrCanceled);
  options.ChooseInputFormat();
  // A cancelled first choice keeps the new default buffer, unset.
  EXPECT_EQ(formats.inputFormatSet, 0);
  EXPECT_EQ(RateOf(formats.inputFormat), 22050u);
  EXPECT_EQ(formats.inputFormatName, "PCM");

  chooser.Chosen(FormatOf(1, 8000, 1), "PCM");
  options.ChooseInputFormat();
  chooser.Chosen(FormatOf(0x31, 8000, 1), "GSM 6.10");
  options.ChooseCompressionFormat();
  EXPECT_EQ(formats.compressionFormatSet, 1);
  EXPECT_EQ(formats.compressionFormatName, "GSM 6.10");
  EXPECT_EQ(chooser.asked.back().enumeration, AcmFormatEnum::ConvertFrom);  // from the input
  EXPECT_EQ(RateOf(chooser.asked.back().enumerationFormat), 8000u);

  chooser.Chosen(FormatOf(1, 44100, 2), "PCM");
  options.ChooseInputFormat();
  EXPECT_EQ(chooser.asked.back().enumeration, AcmFormatEnum::SameTag);
  EXPECT_EQ(RateOf(chooser.asked.back().format), 8000u);
  EXPECT_EQ(formats.inputFormatSet, 1);
  EXPECT_EQ(formats.compressionFormatSet, 0);

  // A buffer restored from the settings has its stored 18 bytes: it grows, keeping its content.
  formats.inputFormat = FormatOf(1, 11025, 2).ToBytes();
  chooser.Answered(kAcmErrCanceled);
  options.ChooseInputFormat();
  EXPECT_EQ(chooser.asked.back().format.size(), AcmMaxFormatSize());
  EXPECT_EQ(RateOf(chooser.asked.back().format), 11025u);

  chooser.Answered(kAcmErrNotPossible);
  options.ChooseInputFormat();
  EXPECT_EQ(formats.inputFormatSet, 0);
  EXPECT_THAT(messages.Texts(), ElementsAre("You must set the Input Format first",
                                            "ERROR en Dialogo acmFormatChoose"));
}

TEST_F(RadioLineInOptionsTest, WmaNameOpensTheWmaOptionsAndOtherNamesClearThem) {
  chooser.Chosen(FormatOf(1, 22050, 1), "PCM");
  options.ChooseInputFormat();
  chooser.Chosen(FormatOf(0x161, 22050, 2), "Windows Media Audio V2");
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 1);
  EXPECT_EQ(WmaChoice(formats), std::make_tuple(1, 32000, 22050, 2));

  // Cancelled: the kept name still is a WMA codec's, so its options open again.
  chooser.Answered(kAcmErrCanceled);
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 2);
  EXPECT_EQ(formats.compressionFormatName, "Windows Media Audio V2");

  // Names are compared byte for byte.
  chooser.Chosen(FormatOf(0x161, 22050, 2), "Windows Media Audio v2");
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 2);
  EXPECT_EQ(WmaChoice(formats), std::make_tuple(0, 0, 0, 0));
}

TEST(WmaOptionsTest, ListsTheRowsOfTheRateAndOkGivesTheRowOrZeros) {
  struct Case {
    uint32_t rate;
    std::size_t rows;
    int pick;
    const char* text;
    int32_t bitrate, hz, channels;
  };
  const Case cases[] = {
      {22050, 5, 4, "32 kbps, 22 KHz, Stereo", 32000, 22050, 2},
      {48000, 2, 0, "128 kbps, 48 KHz, Stereo", 128000, 48000, 2},
      {11025, 2, 0, "8 kbps, 11 KHz, Mono", 8000, 11025, 1},
      {12000, 0, -1, nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    AudioFormatSettings formats;
    formats.compressionFormat = FormatOf(0x161, c.rate, 2).ToBytes();
    formats.wmaBitrate = 5;
    WmaOptions wma(formats);
    const auto rows = wma.Rows();
    ASSERT_EQ(rows.size(), c.rows);
    if (c.text) {
      EXPECT_EQ(rows[static_cast<std::size_t>(c.pick)], c.text);
    }
    wma.OnOK(c.pick);
    EXPECT_EQ(WmaChoice(formats), std::make_tuple(0, c.bitrate, c.hz, c.channels));
  }
}

}  // namespace
}  // namespace kelmo
