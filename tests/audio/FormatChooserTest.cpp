#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/AcmFormatTable.h"
#include "audio/AcmFormats.h"
#include "audio/FormatChooser.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"

namespace kelmo {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using Position = FormatChooserModel::Position;

std::vector<WaveFormatEx> Offered() {
  std::vector<WaveFormatEx> offered = OfferedWaveFormats();
  const auto wma = OfferedWmaFormats();
  offered.insert(offered.end(), wma.begin(), wma.end());
  return offered;
}

class FormatChooserTest : public ::testing::Test {
 protected:
  // Asks the chooser; the window answers with `answer` (nullopt: Cancel) and remembers what it
  // showed.
  int Ask(AcmFormatChoice& choice, std::optional<Position> answer) {
    tags.clear();
    return chooser.Choose(choice, [&](const FormatChooserModel& model, Position start) {
      for (std::size_t t = 0; t < model.TagCount(); ++t) tags.push_back(model.TagName(t));
      opened = start;
      if (answer) shown = model.Attributes(answer->tag);
      return answer;
    });
  }
  // Converts from `input` to what the formats offered allow.
  int AskConversions(const WaveFormatEx& input, std::optional<Position> answer = {}) {
    AcmFormatChoice choice;
    choice.format.resize(AcmMaxFormatSize());
    choice.enumeration = AcmFormatEnum::ConvertFrom;
    choice.enumerationFormat = input.ToBytes();
    const int result = Ask(choice, answer);
    chosen = choice;
    return result;
  }

  FfmpegCodecManager conversions;
  // A sound card that records 16-bit sound only.
  FormatChooser chooser{Offered(),
                        [](std::span<const uint8_t> block) {
                          return WaveFormatEx::FromBytes(block)->wBitsPerSample == 16;
                        },
                        conversions};
  std::vector<std::string> tags, shown;
  Position opened;
  AcmFormatChoice chosen;
};

TEST_F(FormatChooserTest, OpensOnTheCurrentFormatAndWritesTheChoiceBack) {
  AcmFormatChoice choice;
  choice.format = MakePcmFormat(22050, 2, 16).ToBytes();
  choice.format.resize(AcmMaxFormatSize(), 0xEE);
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
  EXPECT_EQ(WaveFormatEx::FromBytes(choice.format)->nSamplesPerSec, 8000u);
  EXPECT_EQ(choice.format.back(), 0);  // what was beyond the format is cleared

  choice.enumeration = AcmFormatEnum::SameTag;
  choice.enumerationFormat = MakePcmFormat(44100, 1, 8).ToBytes();
  choice.enumerationFormat.resize(10);  // damaged: refused, not read past its end
  EXPECT_EQ(Ask(choice, Position{}), kAcmErrInvalid);
}

TEST_F(FormatChooserTest, ConversionsKeepTheInputsRateAndChannelsForCodecs) {
  EXPECT_THAT((AskConversions(MakePcmFormat(8000, 1, 16)), tags), Contains("GSM 6.10"));

  // From 22050 Hz mono: PCM at any rate, codecs at that rate and channel count only.
  const WaveFormatEx mono = MakePcmFormat(22050, 1, 16);
  AskConversions(mono);
  EXPECT_THAT(tags, Not(Contains("GSM 6.10")));
  EXPECT_EQ(tags.front(), "PCM");
  const auto v2 = static_cast<std::size_t>(
      std::find(tags.begin(), tags.end(), "Windows Media Audio V2") - tags.begin());
  ASSERT_LT(v2, tags.size());
  EXPECT_EQ(AskConversions(mono, Position{v2, 0}), kAcmOk);
  EXPECT_THAT(shown, ElementsAre("22,050 Hz, Mono, 24 kbit/s"));
  EXPECT_EQ(chosen.formatTagName, "Windows Media Audio V2");
  const auto wma = WaveFormatEx::FromBytes(chosen.format);
  EXPECT_EQ(wma->wFormatTag, 0x0161);
  EXPECT_EQ(wma->extra.size(), 10u);  // the encoder's own extra data
  EXPECT_GT(wma->nBlockAlign, 0);

  // Nothing converts from a format nobody decodes.
  WaveFormatEx unknown = MakePcmFormat(22050, 1, 16);
  unknown.wFormatTag = 0x7777;
  EXPECT_EQ(AskConversions(unknown), kAcmErrNotPossible);
}

}  // namespace
}  // namespace kelmo
