#include <gtest/gtest.h>

#include "tuner/SimCardFixture.h"

namespace kelmo::test {
namespace {

using CardDriverLibraryTest = SimCardFixture;

TEST_F(CardDriverLibraryTest, AbsentLibraryIsReportedAndEverythingIsANoOp) {
  context->cardStartup.StopCard();
  messages.Clear();
  context->card.SetCandidates(CardLibraryCandidates(std::nullopt, dir / "nowhere"));
  context->cardStartup.StartCard();
  EXPECT_FALSE(context->card.IsLoaded());
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{"I don't find Btvid_32.so so I'm afraid you can not hear "
                                     "sound with my program."});

  context->state.tvMode = 0;
  context->tuner.TuneTv(48.25f);
  context->card.SelectAudioTv();
  EXPECT_EQ(context->state.tvMode, 0);
  EXPECT_EQ(context->card.ReadTunerStatus(), 0);
  EXPECT_EQ(context->card.ReadDecoderStatus(), 0);
  context->card.UnloadCardLibrary();
  context->cardStartup.StopCard();
  EXPECT_EQ(clock.SleptMilliseconds(), 1000);  // the two shut-down pauses, no tuner pauses
}

TEST_F(CardDriverLibraryTest, LibraryLackingACalledExportIsReleasedAndNamed) {
  context->cardStartup.StopCard();
  messages.Clear();
  UseLibrary(KELMO_INCOMPLETE_CARD);
  EXPECT_FALSE(context->card.IsLoaded());
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_NE(messages.Texts()[0].find("I2CSWRead"), std::string::npos);
  EXPECT_EQ(context->card.ReadTunerStatus(), 0);
}

TEST_F(CardDriverLibraryTest, DeviceChoiceReachesTheLibraryBeforeItsBusStartsAndAtOnceLater) {
  context->cardStartup.StopCard();
  context->card.UseVideoDevice("/dev/video1");  // nothing loaded: only remembered
  ClearLog();
  context->card.SetCandidates({KELMO_RECORDING_CARD});
  context->card.LoadCardLibrary();
  context->card.UseVideoDevice("/dev/video2");
  context->card.UnloadCardLibrary();
  context->card.UseVideoDevice("/dev/video3");
  EXPECT_EQ(Log(), (std::vector<std::string>{"use /dev/video1", "init", "use /dev/video2"}));
}

TEST_F(CardDriverLibraryTest, CandidatesPreferCommandLineThenEnvironmentThenExecutableFolder) {
  unsetenv("KELMO_CARD_LIBRARY");
  const std::string multiarch = KELMO_LIBRARY_ARCHITECTURE;
  ASSERT_FALSE(multiarch.empty());  // Debian's builds know their multiarch folder
  EXPECT_EQ(
      CardLibraryCandidates(std::nullopt, "/usr/bin"),
      (std::vector<std::string>{"/usr/bin/Btvid_32.so", "/usr/lib/kelmo/Btvid_32.so",
                                "/usr/lib/" + multiarch + "/kelmo/Btvid_32.so", "Btvid_32.so"}));
  EXPECT_EQ(CardLibraryCandidates(std::nullopt, "/opt/kelmo/bin", /*realCard=*/true),
            (std::vector<std::string>{
                "/opt/kelmo/bin/Btvid_32-v4l2.so", "/opt/kelmo/lib/kelmo/Btvid_32-v4l2.so",
                "/opt/kelmo/lib/" + multiarch + "/kelmo/Btvid_32-v4l2.so", "Btvid_32-v4l2.so"}));
  setenv("KELMO_CARD_LIBRARY", "/env/card.so", 1);
  EXPECT_EQ(CardLibraryCandidates(std::nullopt, "/usr/bin"),
            std::vector<std::string>{"/env/card.so"});
  EXPECT_EQ(CardLibraryCandidates(std::string("/opt/card.so"), "/usr/bin", true),
            std::vector<std::string>{"/opt/card.so"});
  unsetenv("KELMO_CARD_LIBRARY");
}

}  // namespace
}  // namespace kelmo::test
