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

using ::testing::ElementsAre;

using test::FormatOf;

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

TEST_F(RadioLineInOptionsTest, InputChooserOpensOnTheBufferAndANewInputClearsCompression) {
  options.ChooseCompressionFormat();
  EXPECT_THAT(messages.Texts(), ElementsAre("You must set the Input Format first"));

  chooser.Answered(kAcmErrCanceled);
  options.ChooseInputFormat();
  // A cancelled first choice keeps the new default buffer, unset.
  EXPECT_EQ(formats.inputFormatSet, 0);
  EXPECT_EQ(WaveFormatEx::FromBytes(formats.inputFormat)->nSamplesPerSec, 22050u);
  EXPECT_EQ(formats.inputFormatName, "PCM");

  chooser.Chosen(FormatOf(1, 8000, 1), "PCM");
  options.ChooseInputFormat();
  chooser.Chosen(FormatOf(0x31, 8000, 1), "GSM 6.10");
  options.ChooseCompressionFormat();
  EXPECT_EQ(formats.compressionFormatSet, 1);
  EXPECT_EQ(formats.compressionFormatName, "GSM 6.10");
  // The compression chooser offered what the 8000 Hz input converts to.
  EXPECT_EQ(chooser.asked.back().enumeration, AcmFormatEnum::ConvertFrom);
  EXPECT_EQ(WaveFormatEx::FromBytes(chooser.asked.back().enumerationFormat)->nSamplesPerSec, 8000u);

  chooser.Chosen(FormatOf(1, 44100, 2), "PCM");
  options.ChooseInputFormat();
  EXPECT_EQ(chooser.asked.back().enumeration, AcmFormatEnum::SameTag);
  EXPECT_EQ(WaveFormatEx::FromBytes(chooser.asked.back().format)->nSamplesPerSec, 8000u);
  EXPECT_EQ(formats.inputFormatSet, 1);
  EXPECT_EQ(formats.compressionFormatSet, 0);
}

TEST_F(RadioLineInOptionsTest, RestoredBufferGrowsToTheLargestFormatKeepingItsContent) {
  formats.inputFormatSet = 1;
  formats.inputFormat = FormatOf(1, 11025, 2).ToBytes();  // 18 bytes, as the settings store it
  formats.inputFormatName = "PCM";
  chooser.Answered(kAcmErrCanceled);
  options.ChooseInputFormat();
  const auto& given = chooser.asked.back().format;
  EXPECT_EQ(given.size(), AcmMaxFormatSize());
  EXPECT_EQ(WaveFormatEx::FromBytes(given)->nSamplesPerSec, 11025u);

  chooser.Answered(kAcmErrNotPossible);
  options.ChooseInputFormat();
  EXPECT_THAT(messages.Texts(), ElementsAre("ERROR en Dialogo acmFormatChoose"));
  EXPECT_EQ(formats.inputFormatSet, 0);
}

TEST_F(RadioLineInOptionsTest, WmaNameOpensTheWmaOptionsAndOtherNamesClearThem) {
  chooser.Chosen(FormatOf(1, 22050, 1), "PCM");
  options.ChooseInputFormat();
  chooser.Chosen(FormatOf(0x161, 22050, 2), "Windows Media Audio V2");
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 1);
  EXPECT_EQ(formats.wmaOutput, 1);
  EXPECT_EQ(formats.wmaBitrate, 32000);
  EXPECT_EQ(formats.wmaSampleRate, 22050);
  EXPECT_EQ(formats.wmaChannels, 2);

  // Cancelled: the kept name still is a WMA codec's, so its options open again.
  chooser.Answered(kAcmErrCanceled);
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 2);
  EXPECT_EQ(formats.compressionFormatName, "Windows Media Audio V2");

  chooser.Chosen(FormatOf(0x161, 22050, 2), "Windows Media Audio v2");
  options.ChooseCompressionFormat();
  EXPECT_EQ(wmaDialogs, 2);
  EXPECT_EQ(formats.wmaOutput, 0);
  EXPECT_EQ(formats.wmaBitrate, 0);
  EXPECT_EQ(formats.wmaSampleRate, 0);
  EXPECT_EQ(formats.wmaChannels, 0);
}

TEST(WmaOptionsTest, ListsTheRowsOfTheRateAndOkGivesTheRow) {
  AudioFormatSettings formats;
  WmaOptions wma(formats);
  auto at = [&](uint32_t rate) {
    formats.compressionFormat = FormatOf(0x161, rate, 2).ToBytes();
    return wma.Rows();
  };
  EXPECT_THAT(at(22050), ElementsAre("16 kbps, 22 KHz, Mono", "20 kbps, 22 KHz, Mono",
                                     "20 kbps, 22 KHz, Stereo", "22 kbps, 22 KHz, Stereo",
                                     "32 kbps, 22 KHz, Stereo"));
  wma.OnOK(4);
  EXPECT_EQ(std::tie(formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
            std::make_tuple(32000, 22050, 2));

  const auto rows44 = at(44100);
  ASSERT_EQ(rows44.size(), 7u);
  EXPECT_EQ(rows44[5], "128 kbps, 44 KHz, Stereo");
  EXPECT_EQ(rows44[6], "160 kbps, 44 KHz, Stereo");
  wma.OnOK(6);
  EXPECT_EQ(std::tie(formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
            std::make_tuple(160000, 44100, 2));

  EXPECT_EQ(at(48000).size(), 2u);
  wma.OnOK(0);
  EXPECT_EQ(std::tie(formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
            std::make_tuple(128000, 48000, 2));

  EXPECT_EQ(at(8000).front(), "0 kbps, 8 KHz, Mono");
  EXPECT_EQ(at(11025).size(), 2u);

  EXPECT_TRUE(at(12000).empty());
  wma.OnOK(-1);
  EXPECT_EQ(std::tie(formats.wmaBitrate, formats.wmaSampleRate, formats.wmaChannels),
            std::make_tuple(0, 0, 0));
}

}  // namespace
}  // namespace kelmo
