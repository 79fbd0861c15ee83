#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "app/OnScreenDisplay.h"
#include "app/ViewerKeys.h"

namespace kelmo::test {
namespace {

// No key does two things, none takes a typed channel key ('+', '-', '.', digits) away from the
// main window, and the channel commands are those keys' steps.
TEST(ViewerKeys, EachKeyHasOneCommandAndTheTypedChannelKeysStay) {
  std::set<std::string> keys;
  std::set<char> mnemonics;
  for (const ViewerBinding& b : ViewerBindings()) {
    const std::string text = b.text;
    ASSERT_NE(text.find('&'), std::string::npos) << text;
    EXPECT_TRUE(mnemonics.insert(static_cast<char>(std::tolower(text[text.find('&') + 1]))).second)
        << text;
    for (const std::string& k : b.keys) {
      EXPECT_TRUE(keys.insert(k).second) << k;
      const bool typed = k.size() == 1 && (std::isdigit(k[0]) || k == "+" || k == "-" || k == ".");
      EXPECT_FALSE(typed) << k;
    }
  }
  EXPECT_EQ(ChannelKeyOf(ViewerCommand::ChannelUp), U'+');
  EXPECT_EQ(ChannelKeyOf(ViewerCommand::ChannelDown), U'-');
  EXPECT_EQ(ChannelKeyOf(ViewerCommand::PreviousChannel), U'.');
  EXPECT_EQ(ChannelKeyOf(ViewerCommand::Mute), 0);
  EXPECT_EQ(WheelCommand(2), ViewerCommand::ChannelUp);
  EXPECT_EQ(WheelCommand(-1), ViewerCommand::ChannelDown);
}

// Each change shows for two seconds; the REC mark counts the recording's time and stays in full
// screen for as long as it runs; the volume bar gives way to "Mute".
TEST(OnScreenDisplay, ChangesShowForTwoSecondsAndRecStaysInFullScreen) {
  OnScreenDisplay osd;
  EXPECT_TRUE(osd.At(0, true).Empty());
  osd.ShowChannel(12, "Das Erste", 1000);
  osd.ShowVolume(140, 1000);
  EXPECT_EQ(osd.At(2999, false).channel, "12  Das Erste");
  EXPECT_EQ(osd.At(2999, false).volume, 100);
  EXPECT_TRUE(osd.At(3000, false).Empty());

  osd.ShowMute(true, 4000);
  EXPECT_TRUE(osd.At(4500, false).mute);
  EXPECT_EQ(osd.At(4500, false).volume, -1);
  osd.ShowMute(false, 5000);
  EXPECT_FALSE(osd.At(5500, false).mute);

  osd.ShowRecording(true, 10000);
  EXPECT_EQ(osd.At(11000, false).rec, "REC 0:00:01");
  EXPECT_EQ(osd.At(12000, false).rec, "");
  EXPECT_EQ(osd.At(10000 + 3723000, true).rec, "REC 1:02:03");
  osd.ShowRecording(false, 20000);
  EXPECT_EQ(osd.At(21000, true).rec, "REC ended");
  EXPECT_TRUE(osd.At(22000, true).Empty());
}

}  // namespace
}  // namespace kelmo::test
