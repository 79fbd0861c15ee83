#include <gtest/gtest.h>

#include "app/ChannelControls.h"
#include "base/UpDownPosition.h"
#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

class ChannelControlsTest : public SimCardFixture {
 protected:
  void SetUp() override {
    SimCardFixture::SetUp();
    controls = std::make_unique<ChannelControls>(*context, view, spin);
    spin.SetDeltaPosHandler([this](int delta) { return controls->OnSpinDeltaPos(delta); });
  }
  void TearDown() override {
    controls.reset();
    SimCardFixture::TearDown();
  }

  // Channels named "0", "1", ... on frequencies of the built-in antenna's bands.
  void TvChannels(int count) {
    context->channels.tv.count = count;
    for (int i = 0; i < count; ++i) context->channels.tv.entries[i] = {std::to_string(i), "48.25"};
  }
  void FmChannels(int count) {
    context->channels.fm.count = count;
    for (int i = 0; i < count; ++i) context->channels.fm.entries[i] = {std::to_string(i), "87.60"};
  }

  // Clicks 'R' (right arrow) and 'L' (left arrow), keys otherwise; returns the channel shown
  // after each, '-' when nothing was tuned.
  std::string Press(const std::string& sequence) {
    std::string tuned;
    for (char c : sequence) {
      const int writes = WriteCount();
      if (c == 'R' || c == 'L') {
        spin.Click(c == 'R' ? 1 : -1);
      } else {
        EXPECT_TRUE(controls->HandleKeyChar(static_cast<char32_t>(c)));
      }
      tuned += WriteCount() > writes ? view.channelLine.back() : '-';
    }
    return tuned;
  }

  RecordingView view;
  UpDownPosition spin;
  std::unique_ptr<ChannelControls> controls;
};

TEST_F(ChannelControlsTest, SpinStepsOneChannelPerClickAndWraps) {
  TvChannels(5);
  controls->OnTvChosen(2);
  // The first click tunes the chosen channel again; then one channel per click, also right
  // after a change of direction, wrapping at both ends.
  EXPECT_EQ(Press("RRRRRLLLLLLRL"), "2340104321010");
  // A key puts the spin on the channel: in the last click's direction the next click tunes the
  // same channel again, in the other direction it moves two.
  EXPECT_EQ(Press("+L"), "11");
  EXPECT_EQ(Press("+R"), "24");
}

TEST_F(ChannelControlsTest, ChannelKeysWrapAndDigitsBeyondTheTableTuneNothing) {
  TvChannels(3);
  controls->TuneSavedChannel();
  EXPECT_EQ(Press("-"), "2");
  EXPECT_EQ(spin.Pos(), 2);
  EXPECT_EQ(Press("+"), "0");
  EXPECT_EQ(spin.Pos(), 0);
  EXPECT_FALSE(controls->HandleKeyChar(U'x'));

  FmChannels(5);
  controls->OnFmChosen(0);
  EXPECT_EQ(Press("-"), "4");  // the FM list's last
  EXPECT_EQ(Press("0"), "-");  // the tenth channel of five
  EXPECT_EQ(context->state.currentChannel, 9);
  EXPECT_EQ(Press("+"), "0");

  // The spin holds its position within its range: put on index 8 of five, it stands at the last
  // channel, and the clicks go on from there.
  controls->OnFmChosen(0);
  EXPECT_EQ(Press("0-"), "--");
  EXPECT_EQ(spin.Pos(), 4);
  EXPECT_EQ(Press("RR"), "40");
}

TEST_F(ChannelControlsTest, GoingBackAlternatesBetweenTheLastTwoChannels) {
  TvChannels(6);
  controls->TuneSavedChannel();
  EXPECT_EQ(view.channelLine, "(48.25)  0");
  EXPECT_EQ(Press("6..."), "5050");  // key 6 is index 5
  EXPECT_EQ(spin.Pos(), 0);
  EXPECT_EQ(Press("33."), "222");  // the same channel twice: back re-tunes it
}

// A channel dialog tunes and searches on its own: once it closes the line names what the card is
// on, the current channel follows when that is one of the list's, and the spin follows the list.
TEST_F(ChannelControlsTest, AfterADialogTheLineAndSpinFollowTheTuner) {
  TvChannels(3);
  context->channels.tv.entries[1].frequency = "55.25";
  controls->TuneSavedChannel();
  context->tuner.TuneTv(55.25f);  // the dialog's slider
  TvChannels(2);                  // and its edits: the third row went
  context->channels.tv.entries[1] = {"B", "55.25"};
  controls->FollowTuner(false);
  EXPECT_EQ(view.channelLine, "(55.25)  B");
  EXPECT_EQ(context->state.currentChannel, 1);
  EXPECT_EQ(spin.Upper(), 1);
  EXPECT_EQ(Press("."), "0");  // back goes to the channel watched before the dialog

  context->tuner.TuneTv(100.0f);  // a search left the card between channels
  controls->FollowTuner(false);
  EXPECT_EQ(view.channelLine, "(100.00)");
  EXPECT_EQ(context->state.currentChannel, 0);

  FmChannels(4);
  context->tuner.TuneFm(87.6f);  // the FM dialog
  controls->FollowTuner(false);
  EXPECT_EQ(context->state.tvMode, 0);
  EXPECT_EQ(spin.Upper(), 3);
  EXPECT_EQ(view.channelLine, "(87.60)  0");

  const int writes = WriteCount();
  controls->FollowTuner(true);  // a restarted card is tuned again
  EXPECT_EQ(WriteCount(), writes + 1);
}

TEST_F(ChannelControlsTest, EmptyTableIsNeverRead) {
  FmChannels(2);
  controls->TuneSavedChannel();  // TV mode, no TV channels: nothing tuned
  EXPECT_EQ(Press("+-5.RRLL"), "--------");
  EXPECT_EQ(view.channelLine, "");
  EXPECT_TRUE(controls->TvMenuItems().empty());
}

TEST_F(ChannelControlsTest, OldNamesShowAsWindows1252AndVolumeNeedsAMixer) {
  FmChannels(1);
  context->channels.fm.entries[0].name = "Caf\xE9";  // from an old file
  controls->OnFmChosen(0);
  EXPECT_EQ(view.channelLine, "(87.60)  Caf\u00e9");
  EXPECT_EQ(controls->FmMenuItems().at(0), "Caf\u00e9");

  controls->OnVol();
  EXPECT_EQ(shell.mixerOpened, 1);
  EXPECT_TRUE(messages.Texts().empty());
  shell.mixerInstalled = false;
  controls->OnVol();
  EXPECT_EQ(shell.mixerOpened, 1);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{
                                  "No sound mixer found. Install pavucontrol (or the GNOME sound "
                                  "settings, or alsamixer) to change the volume."});
}

}  // namespace
}  // namespace kelmo::test
