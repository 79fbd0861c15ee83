#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/AcmFormatTable.h"
#include "audio/AcmFormats.h"
#include "audio/FormatChooser.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "support/ScriptedChooser.h"

namespace kelmo {
namespace {

using ::testing::ElementsAre;
using Position = FormatChooserModel::Position;

std::vector<WaveFormatEx> Offered() {
  std::vector<WaveFormatEx> offered;
  for (uint32_t rate : {8000u, 11025u, 22050u, 44100u})
    for (uint16_t channels : {1, 2})
      for (uint16_t bits : {8, 16}) offered.push_back(MakePcmFormat(rate, channels, bits));
  const auto wma = OfferedWmaFormats();
  offered.insert(offered.end(), wma.begin(), wma.end());
  return offered;
}

class FormatChooserTest : public ::testing::Test {
 protected:
  // Asks the chooser; the window answers with `answer` (nullopt: Cancel) and remembers what it
  // showed.
  int Ask(AcmFormatChoice& choice, std::optional<Position> answer) {
    return chooser.Choose(choice, [&](const FormatChooserModel& model, Position start) {
      tags.clear();
      for (std::size_t t = 0; t < model.TagCount(); ++t) tags.push_back(model.TagName(t));
      opened = start;
      if (answer) shown = model.Attributes(answer->tag);
      return answer;
    });
  }

  test::ScriptedChooser noConversions;
  // A sound card that records 16-bit sound only.
  FormatChooser chooser{Offered(),
                        [](std::span<const uint8_t> block) {
                          return WaveFormatEx::FromBytes(block)->wBitsPerSample == 16;
                        },
                        noConversions};
  std::vector<std::string> tags, shown;
  Position opened;
};

TEST_F(FormatChooserTest, OpensOnTheCurrentFormatAndWritesTheChoiceBack) {
  AcmFormatChoice choice;
  choice.format = MakePcmFormat(22050, 2, 16).ToBytes();
  choice.format.resize(AcmMaxFormatSize(), 0xEE);
  choice.enumeration = AcmFormatEnum::Input;
  const auto before = choice.format;
  EXPECT_EQ(Ask(choice, std::nullopt), kAcmErrCanceled);
  EXPECT_EQ(choice.format, before);
  EXPECT_THAT(tags, ElementsAre("PCM"));
  // 16-bit formats only, as the input answers: 8000 mono, 8000 stereo, 11025 mono, ...
  EXPECT_EQ(opened.attribute, 5u);

  EXPECT_EQ(Ask(choice, Position{0, 0}), kAcmOk);
  EXPECT_EQ(shown.front(), "8,000 Hz, 16 Bit, Mono, 128 kbit/s");
  EXPECT_EQ(choice.formatTagName, "PCM");
  EXPECT_EQ(choice.format.size(), AcmMaxFormatSize());
  const auto chosen = WaveFormatEx::FromBytes(choice.format);
  EXPECT_EQ(chosen->nSamplesPerSec, 8000u);
  EXPECT_EQ(choice.format.back(), 0);  // what was beyond the format is cleared
}

TEST_F(FormatChooserTest, SameTagAndWmaConversionsFollowTheEnumerationFormat) {
  AcmFormatChoice choice;
  choice.format.resize(AcmMaxFormatSize());
  choice.enumeration = AcmFormatEnum::SameTag;
  choice.enumerationFormat = WaveFormatEx{DefaultPcmFormat()}.ToBytes();
  EXPECT_EQ(Ask(choice, std::nullopt), kAcmErrCanceled);
  EXPECT_THAT(tags, ElementsAre("PCM"));

  // Conversions from 22050 Hz mono: the WMA codecs at that rate and channel count.
  choice.enumeration = AcmFormatEnum::ConvertFrom;
  EXPECT_EQ(Ask(choice, Position{1, 0}), kAcmOk);
  EXPECT_THAT(tags, ElementsAre("Windows Media Audio V1", "Windows Media Audio V2"));
  EXPECT_THAT(shown, ElementsAre("22,050 Hz, Mono, 24 kbit/s"));
  EXPECT_EQ(choice.formatTagName, "Windows Media Audio V2");
  const auto wma = WaveFormatEx::FromBytes(choice.format);
  EXPECT_EQ(wma->wFormatTag, 0x0161);
  EXPECT_EQ(wma->extra.size(), 10u);  // the encoder's own extra data
  EXPECT_GT(wma->nBlockAlign, 0);

  // A rate no WMA row has converts to nothing here; a broken enumeration format is refused.
  choice.enumerationFormat = MakePcmFormat(12000, 1, 16).ToBytes();
  EXPECT_EQ(Ask(choice, Position{}), kAcmErrNotPossible);
  choice.enumerationFormat.resize(10);
  EXPECT_EQ(Ask(choice, Position{}), kAcmErrInvalid);
}

TEST(FormatChooserConversions, OfferWhatTheInputConvertsTo) {
  FfmpegCodecManager conversions;
  FormatChooser chooser(OfferedWaveFormats(), nullptr, conversions);
  auto offeredTags = [&](const WaveFormatEx& input) {
    AcmFormatChoice choice;
    choice.format.resize(AcmMaxFormatSize());
    choice.enumeration = AcmFormatEnum::ConvertFrom;
    choice.enumerationFormat = input.ToBytes();
    std::vector<std::string> tags;
    chooser.Choose(choice, [&](const FormatChooserModel& model, Position) {
      for (std::size_t t = 0; t < model.TagCount(); ++t) tags.push_back(model.TagName(t));
      return std::nullopt;
    });
    return tags;
  };
  EXPECT_THAT(offeredTags(MakePcmFormat(8000, 1, 16)), ::testing::Contains("GSM 6.10"));
  const auto at22050 = offeredTags(MakePcmFormat(22050, 1, 16));
  EXPECT_THAT(at22050, ::testing::Not(::testing::Contains("GSM 6.10")));
  EXPECT_THAT(at22050, ::testing::Contains("PCM"));
}

}  // namespace
}  // namespace kelmo
