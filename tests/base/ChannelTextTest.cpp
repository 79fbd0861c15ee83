#include <gtest/gtest.h>

#include "base/ChannelText.h"

namespace kelmo {
namespace {

TEST(ChannelText, NamesShowAsUtf8OrAsWindows1252) {
  EXPECT_EQ(ChannelDisplayText("Canal Ñ"), "Canal Ñ");
  EXPECT_EQ(ChannelDisplayText("Canal \xD1 \x80 \x81"), "Canal Ñ € \xC2\x81");
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x93\xBA"));
}

TEST(ChannelText, CutsAt79BytesWithoutSplittingACharacter) {
  const std::string ascii(78, 'a');
  EXPECT_EQ(CutChannelText(ascii + "é", 79), ascii);  // é would need bytes 79 and 80
  EXPECT_EQ(CutChannelText(ascii + "\xE9\xE9", 79), ascii + "\xE9");  // Windows-1252 bytes
  EXPECT_EQ(CutChannelText(ascii + "\xA9\xA9", 79), ascii + "\xA9");
  EXPECT_EQ(CutChannelText(std::string(77, 'a') + "📺", 79), std::string(77, 'a'));
  EXPECT_EQ(CutChannelText(std::string("ab\0cd", 5), 79), "ab");
}

}  // namespace
}  // namespace kelmo
