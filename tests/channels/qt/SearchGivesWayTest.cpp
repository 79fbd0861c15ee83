#include <QTimer>

#include "app/ScheduleSettings.h"
#include "app/qt/MainWindowFixture.h"
#include "channels/qt/CAddChannelDlg.h"
#include "channels/qt/ChannelsDialog.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

using SearchGivesWay = MainWindowFixture;

// A program that falls due while a channel search waits for the user's answer ends the search as
// Abort does, keeping what was found, and then starts on its own channel.
TEST_F(SearchGivesWay, AProgramFallingDueEndsTheSearchAndStarts) {
  ScopedTimeZone utc("UTC0");
  WriteChannelFile({}, {{"Radio", "88.00"}});
  {
    RecordingProgramTable stored;
    RecordingProgram& p = stored.programs[0];
    p.armed = 1, p.recordFromChannel = 1, p.isTv = 0, p.startTime = 39600;  // 11:00
    p.durationSeconds = 600, p.endTime = 39600 + 600;
    stored.programCount = 1;
    ProfileFile file(dataDir.filePath("config.dat").toStdString());
    ASSERT_TRUE(SavePrograms(file, stored));
  }
  Open();
  bool checked = false;
  QTimer::singleShot(0, dlg.get(), [&] {
    ChannelsDialog* channels = dlg->OpenChannelsDialog();
    ASSERT_NE(channels, nullptr);
    channels->OnStartAutodetection();
    while (channels->FireSearchWait()) {
    }
    ASSERT_TRUE(channels->AddChannelDlg()->isVisible());  // 48.25 proposed
    const int writes = Bus().Writes();

    clock.Set(39600);
    dlg->OnTimer();
    EXPECT_FALSE(channels->Search().Running());
    EXPECT_FALSE(channels->AddChannelDlg()->isVisible());
    EXPECT_TRUE(channels->isVisible());
    // The program's FM channel is the one tuned after the search's last candidate.
    EXPECT_EQ(Bus().Writes(), writes + 1);
    EXPECT_EQ(Bus().Last("W "), "W C2 07 B6 88 A5");  // 88.00 MHz: 1974 steps
    EXPECT_EQ(ctx->state.programStarted, 1);
    EXPECT_FALSE(channels->FireSearchWait());
    checked = true;
    channels->reject();
  });
  dlg->OnTvChannels();
  EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace kelmo::test
