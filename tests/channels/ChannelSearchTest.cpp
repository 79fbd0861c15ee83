#include <gtest/gtest.h>

#include <deque>

#include "base/Frequency.h"
#include "channels/ChannelSearch.h"
#include "support/ChannelBytes.h"
#include "tuner/SimCardFixture.h"

namespace kelmo {
namespace {

// The automatic searches against the simulated card, stepped with the manual clock.
class ChannelSearchTest : public test::SimCardFixture {
 protected:
  ChannelSearch& Begin(ChannelBand band) {
    file = std::make_unique<ChannelFile>(dir, messages);
    editor = std::make_unique<ChannelListEditor>(band, context->channels, *file, messages);
    editor->Open();
    search = std::make_unique<ChannelSearch>(*editor, context->tuner, context->card);
    return *search;
  }

  // Runs the search to its end. Each proposal is answered with the next reply: a name adds the
  // channel, "-" is No Add Channel; No Add when the replies run out. Returns the frequencies
  // proposed.
  std::vector<std::string> Run(std::deque<std::string> replies = {}) {
    std::vector<std::string> proposed;
    search->Start();
    for (;;) {
      const ChannelSearch::Step step = search->Next();
      if (step.kind == ChannelSearch::Step::Kind::Finished) break;
      if (step.kind == ChannelSearch::Step::Kind::Wait) {
        clock.Sleep(step.waitMs);
        continue;
      }
      ChannelProposal& p = search->Proposal();
      proposed.push_back(FormatFrequency(p.proposedFrequency));
      const std::string reply = replies.empty() ? "-" : replies.front();
      if (!replies.empty()) replies.pop_front();
      if (reply == "-") {
        p.proposedFrequency = ChannelProposal::kNoAdd;
      } else {
        p.proposedName = reply;
      }
      search->Answer();
    }
    EXPECT_FALSE(search->Running());
    return proposed;
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> out;
    for (const ChannelEntry& row : editor->Rows()) out.push_back(row.frequency + " " + row.name);
    return out;
  }

  std::unique_ptr<ChannelFile> file;
  std::unique_ptr<ChannelListEditor> editor;
  std::unique_ptr<ChannelSearch> search;
};

using Texts = std::vector<std::string>;

TEST_F(ChannelSearchTest, TvProposesTheAntennasCarriersAndSkipsThoseListed) {
  UseAntenna("TV 48.25 Uno\nTV 175.25 Cinco\nTV 176.25 Off the raster\nTV 855.25 Ultima\n");
  std::ofstream(dir / "Channels.dat", std::ios::binary)
      << test::U32(2) + test::Record("By hand", "48.50") + test::Record("Listed", "175.25") +
             test::U32(0);
  Begin(ChannelBand::Tv);
  EXPECT_EQ(Run({"Uno", "-"}), (Texts{"48.25", "855.25"}));
  EXPECT_EQ(Rows(), (Texts{"48.50 By hand", "175.25 Listed", "48.25 Uno"}));
  // The listed carrier is never tuned (the dialog's test sees the sweep reach the band's end).
  EXPECT_EQ(search->Tunings(), 103);
  EXPECT_EQ(WriteCount(), 103);
}

TEST_F(ChannelSearchTest, FmProposesEachStationOnce) {
  Begin(ChannelBand::Fm);
  // The built-in antenna; 87.60 and 107.95 lie a hair off their single-precision candidates.
  EXPECT_EQ(Run({"Faro"}), (Texts{"87.60", "89.30", "94.85", "100.10", "103.45", "107.95"}));
  EXPECT_EQ(Rows(), (Texts{"87.60 Faro"}));
  EXPECT_EQ(search->Swept(), 411);
  EXPECT_EQ(search->DisplayText(), "108.00");
  // 411 tunings, each followed by 100 ms; six stations confirmed by ten readings 70 ms apart.
  EXPECT_EQ(search->WaitedMs(), 411 * 100 + 6 * 700);
}

TEST_F(ChannelSearchTest, ASignalThatDropsOnOneConfirmationIsNotProposed) {
  setenv("KELMO_SIM_FADE", "175.25:7", 1);
  UseAntenna("TV 62.25 Dos\nTV 175.25 Fading\n");
  unsetenv("KELMO_SIM_FADE");
  Begin(ChannelBand::Tv);
  EXPECT_EQ(Run(), (Texts{"62.25"}));
}

TEST_F(ChannelSearchTest, AListThatFillsUpEndsTheSearch) {
  Begin(ChannelBand::Tv);
  for (int p = 0; p < 99; ++p) editor->Add("t", PositionText(kTvRaster, p * 4 + 2));  // x.50
  EXPECT_EQ(Run({"first", "second"}), (Texts{"48.25"}));
  EXPECT_EQ(editor->Rows().size(), 100u);
  EXPECT_EQ(messages.Texts(), (Texts{"The limit is 100 TV Channels."}));
  EXPECT_EQ(Run(), Texts{});  // full from the start: told again, nothing tuned
  EXPECT_EQ(messages.Texts().size(), 2u);
}

TEST_F(ChannelSearchTest, NoTuningUnderARecording) {
  Begin(ChannelBand::Tv);
  // A recording starts after the first tuning: the search ends instead of tuning again.
  search->SetRecordingCheck([this] { return WriteCount() > 0; });
  EXPECT_EQ(Run(), (Texts{"48.25"}));
  EXPECT_EQ(WriteCount(), 1);

  // Under a recording an FM search is refused before its list is emptied.
  Begin(ChannelBand::Fm);
  editor->Add("Kept", "88.00");
  search->SetRecordingCheck([] { return true; });
  EXPECT_EQ(Run(), Texts{});
  EXPECT_EQ(Rows(), Texts{"88.00 Kept"});
  EXPECT_EQ(messages.Texts().back(), "You can't search for channels while recording.");
  EXPECT_EQ(WriteCount(), 1);
}

}  // namespace
}  // namespace kelmo
