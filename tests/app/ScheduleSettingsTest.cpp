#include "app/ScheduleSettings.h"
#include "schedule/ScheduleFixture.h"
#include "support/TempDir.h"

namespace kelmo::test {
namespace {

struct ScheduleSettings : ScheduleFixture {
  TempDir dir;
  ProfileFile file{dir / "config.dat"};

  int32_t StoredCount() const { return file.GetProfileInt("General", "ProgramsCount", -1); }
};

// Saved at each change of the table, read back after a restart: a program whose end has passed
// is eliminated with its message, one in progress records the rest of its span.
TEST_F(ScheduleSettings, ProgramsSurviveARestart) {
  Add(At(10, 0), 600, false);
  Add(At(11, 0), 3600, true);
  Add(At(13, 0), 60, false);
  Confirm();
  ASSERT_TRUE(SavePrograms(file, table));  // the dialog's OK
  EXPECT_EQ(StoredCount(), 3);

  RunUntil(At(10, 10, 1));  // the first program recorded and removed: written at once
  EXPECT_TRUE(SaveProgramsIfChanged(file, protocol, table));
  EXPECT_FALSE(SaveProgramsIfChanged(file, protocol, table));
  EXPECT_EQ(StoredCount(), 2);

  // The machine is off from 10:10 until 11:30, and a program stored by an older run has ended.
  std::vector<uint8_t> block = *file.GetProfileBinary("General", "ProgramsData");
  std::vector<uint8_t> ended(block.begin(), block.begin() + 32);
  ended[16] = 0, ended[17] = 0;  // an earlier start: ended long ago
  block.insert(block.end(), ended.begin(), ended.end());
  ProfileChanges edit;
  edit.WriteProfileInt("General", "ProgramsCount", 3);
  edit.WriteProfileBinary("General", "ProgramsData", block);
  ASSERT_TRUE(file.Write(edit));

  RecordingProgramTable& restarted = table;  // read into the running schedule's table
  clock.Set(At(11, 30));
  LoadPrograms(file, restarted, clock.Now(), messages);
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{
                "Program 1 eliminated. The Recording Time must be Posterior to Actual Time."}));
  ASSERT_EQ(restarted.programCount, 2);
  EXPECT_EQ(restarted.programs[0].startTime, At(11, 0));
  EXPECT_EQ(restarted.programs[0].endTime, At(12, 0));
  EXPECT_EQ(restarted.programs[0].isTv, 1u);
  EXPECT_EQ(restarted.programs[1].armed, 1u);

  // The program in progress starts at the first tick and ends at its own end.
  ticker.ScheduleTick();
  EXPECT_TRUE(video.recording);
  RunUntil(At(12, 0, 1));
  EXPECT_FALSE(video.recording);
}

TEST_F(ScheduleSettings, UserStopWritesTheEmptySchedule) {
  Add(At(10, 0), 600, false);
  Confirm();
  RunUntil(At(10, 0, 5));
  controls.OnStop();
  EXPECT_TRUE(SaveProgramsIfChanged(file, protocol, table));
  EXPECT_EQ(StoredCount(), 0);
  RecordingProgramTable restarted;
  LoadPrograms(file, restarted, clock.Now(), messages);
  EXPECT_EQ(restarted.programCount, 0);
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace kelmo::test
