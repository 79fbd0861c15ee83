#include <utility>

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
// is eliminated with its message, one in progress records the rest of its span, and the user's
// STOP leaves an empty schedule on disk.
TEST_F(ScheduleSettings, ProgramsSurviveARestartAndAUserStopEmptiesThem) {
  Add(At(10, 0), 600, false);
  Add(At(11, 0), 3600, true);
  Add(At(13, 0), 60, false);
  Confirm();
  ASSERT_TRUE(SavePrograms(file, table));  // the dialog's OK
  EXPECT_EQ(StoredCount(), 3);

  RunUntil(At(10, 10, 1));  // the first program recorded and removed: written at once
  EXPECT_TRUE(SaveProgramsIfChanged(file, protocol, table, messages));
  EXPECT_FALSE(SaveProgramsIfChanged(file, protocol, table, messages));
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

  clock.Set(At(11, 30));
  LoadPrograms(file, table, clock.Now(), messages);  // into the running schedule's table
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{
                "Program 1 eliminated. The Recording Time must be Posterior to Actual Time."}));
  ASSERT_EQ(table.programCount, 2);
  EXPECT_EQ(table.programs[0].startTime, At(11, 0));
  EXPECT_EQ(table.programs[0].endTime, At(12, 0));
  EXPECT_EQ(table.programs[0].isTv, 1u);
  EXPECT_EQ(table.programs[1].armed, 1u);

  ticker.ScheduleTick();  // the program in progress starts at the first tick
  EXPECT_TRUE(video.recording);
  controls.OnStop();
  EXPECT_TRUE(SaveProgramsIfChanged(file, protocol, table, messages));
  EXPECT_EQ(StoredCount(), 0);
}

// Another tool wrote a count that does not match the programs (a count of 11, -1 or "abc", a
// letter pair too many): every whole program is kept, the user is told, and the file as it was
// is kept beside it before anything writes the keys again.
TEST_F(ScheduleSettings, ACountThatDoesNotMatchKeepsEveryWholeProgramAndTheFileAsItWas) {
  Add(At(10, 0), 600, false);
  Add(At(11, 0), 600, false);
  Confirm();
  ASSERT_TRUE(SavePrograms(file, table));
  const std::string data = file.GetProfileString("General", "ProgramsData", "");
  int n = 0;
  for (const auto& [count, block] : {std::pair<std::string, std::string>{"11", data},
                                     {"-1", data},
                                     {"abc", data},
                                     {"2", data + "AB"}}) {
    const std::string text = "[General]\nProgramsCount=" + count + "\nProgramsData=" + block + "\n";
    WriteFile(dir / "config.dat", text);
    LoadPrograms(ProfileFile(dir / "config.dat"), table, clock.Now(), messages);
    EXPECT_EQ(table.programs[1].startTime, At(11, 0)) << count;
    ASSERT_EQ(messages.Texts().size(), static_cast<std::size_t>(++n)) << count;
    EXPECT_NE(messages.Texts().back().find("says \"" + count + "\", but \"ProgramsData\" holds 2"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir / ("config.dat.bad" + (n > 1 ? "." + std::to_string(n - 1) : ""))),
              text);
  }
  // Written back whole, the keys agree again: no more word about them.
  ASSERT_TRUE(SavePrograms(file, table));
  LoadPrograms(ProfileFile(dir / "config.dat"), table, clock.Now(), messages);
  EXPECT_EQ(messages.Texts().size(), static_cast<std::size_t>(n));
  EXPECT_EQ(table.programCount, 2);
}

}  // namespace
}  // namespace kelmo::test
