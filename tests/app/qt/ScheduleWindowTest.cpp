#include <QLabel>

#include "app/ScheduleSettings.h"
#include "app/qt/MainWindowFixture.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

using ScheduleWindow = MainWindowFixture;

// The window reads the stored programs at start, shows the first on the schedule line, runs it,
// and keeps what is left at exit.
TEST_F(ScheduleWindow, StoredProgramsRunAndAreKeptAtExit) {
  ScopedTimeZone utc("UTC0");
  WriteChannelFile({{"Uno", "55.25"}}, {{"Radio", "88.00"}});
  {
    RecordingProgramTable stored;
    for (int64_t start : {39600, 43200}) {  // 11:00 and 12:00 on 1970-01-01
      RecordingProgram& p = stored.programs[static_cast<std::size_t>(stored.programCount.load())];
      p.armed = 1, p.recordFromChannel = 1, p.isTv = 0, p.startTime = start;
      p.durationSeconds = 600, p.endTime = start + 600;
      ++stored.programCount;
    }
    ProfileFile file(dataDir.filePath("config.dat").toStdString());
    ASSERT_TRUE(SavePrograms(file, stored));
  }
  Open();
  dlg->OnTimer();
  EXPECT_EQ(Find<QLabel>("1003")->text(),
            "Recording Start: 01/01/70 at 11:00 hours - End: 10 min. after");

  clock.Set(39600);
  dlg->OnTimer();  // due: tuned to the FM channel; REC. names the missing sound formats
  EXPECT_EQ(ctx->state.tvMode, 0);
  EXPECT_EQ(messages.Texts().size(), 2u);

  // Nothing records, so the tick ends the program itself at its end and keeps the rest.
  clock.Set(40200);
  dlg->OnTimer();
  clock.Set(40201);
  dlg->OnTimer();
  EXPECT_EQ(ctx->programs.programCount, 1);
  dlg->OnTimer();
  EXPECT_EQ(Find<QLabel>("1003")->text(),
            "Recording Start: 01/01/70 at 12:00 hours - End: 10 min. after");
  ProfileFile file(dataDir.filePath("config.dat").toStdString());
  EXPECT_EQ(file.GetProfileInt("General", "ProgramsCount", -1), 1);

  CloseWindow();
  EXPECT_EQ(file.GetProfileInt("General", "ProgramsCount", -1), 1);
  EXPECT_EQ(file.GetProfileBinary("General", "ProgramsData")->size(), 32u);
  EXPECT_EQ(power.ShutdownCount(), 0);
}

// After the last program the window closes, the empty table is kept, and the computer is shut
// down once.
TEST_F(ScheduleWindow, LastProgramEndsInShutdown) {
  ScopedTimeZone utc("UTC0");
  Open();
  RecordingProgram& p = ctx->programs.programs[0];
  p.armed = 1, p.startTime = 36010, p.durationSeconds = 60, p.endTime = 36070;
  ctx->programs.programCount = 1;
  ctx->state.shutdownWhenFinished = 1;
  for (int64_t t = 36001; t <= 36070 && !dlg->Destroyed(); ++t) {
    clock.Set(t);
    dlg->OnTimer();
  }
  EXPECT_EQ(power.ShutdownCount(), 0);
  clock.Set(36071);
  dlg->OnTimer();
  EXPECT_TRUE(dlg->Destroyed());
  EXPECT_EQ(power.ShutdownCount(), 1);
  ProfileFile file(dataDir.filePath("config.dat").toStdString());
  EXPECT_EQ(file.GetProfileInt("General", "ProgramsCount", -1), 0);
}

}  // namespace
}  // namespace kelmo::test
