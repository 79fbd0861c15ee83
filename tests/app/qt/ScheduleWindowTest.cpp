#include <QLabel>

#include "app/ScheduleSettings.h"
#include "app/qt/MainWindowFixture.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

using ScheduleWindow = MainWindowFixture;

// The window reads the stored programs at start, shows the next on the schedule line, keeps the
// table on disk as programs end, and after the last one closes and shuts the computer down once.
TEST_F(ScheduleWindow, StoredProgramsRunAndTheLastEndsInShutdown) {
  ScopedTimeZone utc("UTC0");
  WriteChannelFile({{"Uno", "55.25"}}, {{"Radio", "88.00"}});
  ProfileFile file(dataDir.filePath("config.dat").toStdString());
  {
    RecordingProgramTable stored;
    for (int64_t start : {39600, 43200}) {  // 11:00 and 12:00 on 1970-01-01
      RecordingProgram& p = stored.programs[static_cast<std::size_t>(stored.programCount.load())];
      p.armed = 1, p.recordFromChannel = 1, p.isTv = 0, p.startTime = start;
      p.durationSeconds = 600, p.endTime = start + 600;
      ++stored.programCount;
    }
    ASSERT_TRUE(SavePrograms(file, stored));
  }
  Open();

  // Nothing records (no sound formats), so the tick ends each program itself at its end.
  ctx->state.shutdownWhenFinished = 1;
  for (int64_t t : {39600, 40200, 40201, 40202}) {
    clock.Set(t);
    dlg->OnTimer();
  }
  EXPECT_EQ(ctx->state.tvMode, 0);  // tuned to the program's FM channel
  EXPECT_EQ(Find<QLabel>("1003")->text(),
            "Recording Start: 01/01/70 at 12:00 hours - End: 10 min. after");
  EXPECT_EQ(file.GetProfileInt("General", "ProgramsCount", -1), 1);

  for (int64_t t = 43200; t <= 43800 && !dlg->Destroyed(); t += 300) {
    clock.Set(t);
    dlg->OnTimer();
  }
  EXPECT_EQ(power.ShutdownCount(), 0);
  clock.Set(43801);
  dlg->OnTimer();
  EXPECT_TRUE(dlg->Destroyed());
  EXPECT_EQ(power.ShutdownCount(), 1);
  EXPECT_EQ(file.GetProfileInt("General", "ProgramsCount", -1), 0);
}

}  // namespace
}  // namespace kelmo::test
