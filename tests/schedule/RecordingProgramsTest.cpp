#include "schedule/ProgramText.h"
#include "schedule/ScheduleFixture.h"
#include "schedule/StoredPrograms.h"

namespace kelmo::test {
namespace {

constexpr int64_t kNow = At(9, 0);
// Central Europe: summer time from the last Sunday of March, 02:00 -> 03:00.
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

struct Programs : ScheduleFixture {
  Programs() { clock.Set(kNow); }
};

// Each past program is the first left when it is eliminated.
const std::string kPast =
    "Program 1 eliminated. The Recording Time must be Posterior to Actual Time.";

TEST_F(Programs, SortedByStartWithTiesToTheLowerSlotEliminatedInOrderAndArmed) {
  Add(kNow + 200, 60).channelIndex = 0;
  Add(kNow + 100, 60).channelIndex = 1;
  Add(kNow + 100, 60).channelIndex = 2;
  Add(kNow + 200, 60).channelIndex = 3;
  ValidateAndArm(table, state, kNow, messages);
  // Slot 1 is chosen first (the lowest index wins a tie) and exchanged with slot 0; then slot 2.
  std::vector<int32_t> order;
  for (int i = 0; i < 4; ++i) order.push_back(table.programs[i].channelIndex);
  EXPECT_EQ(order, (std::vector<int32_t>{1, 2, 0, 3}));
  EXPECT_TRUE(messages.Texts().empty());

  // Two past programs both carry the number 1; a start equal to now is past; no duration, or a
  // past start and no duration (one message only), are eliminated; 24 hours is valid, a minute
  // more is refused with the limit named.
  table.programCount = 0;
  Add(kNow + 50, 0);
  Add(kNow - 10, 60);
  Add(kNow + 60, 86400);
  Add(kNow, 60);
  Add(kNow - 5, 0);
  Add(kNow + 70, 86400 + 60);
  ValidateAndArm(table, state, kNow, messages);
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{
                kPast, kPast, kPast, "Program 1 eliminated. Duration can't be zero.",
                "Program 2 eliminated. Duration can't be longer than 24 hours."}));
  ASSERT_EQ(table.programCount, 1);
  EXPECT_EQ(table.programs[0].startTime, kNow + 60);
}

TEST_F(Programs, DefaultsStartAtTheNextMinuteAndComposedProgramsFollowSummerTime) {
  InitDefaultProgram(table.programs[0], state, kNow + 30);
  EXPECT_EQ(table.programs[0].startTime, kNow + 60);

  ScopedTimeZone berlin(kBerlin);
  LocalTime date;
  date.year = 2026, date.month = 7, date.day = 1;
  LocalTime time;
  time.hour = 20, time.minute = 15, time.second = 42;
  ComposeProgram(table.programs[1], date, time, 1, 30, clock);
  EXPECT_EQ(table.programs[1].startTime, 1782929700);  // 18:15 UTC: summer time
  EXPECT_EQ(table.programs[1].durationSeconds, 5400);
  EXPECT_EQ(table.programs[1].endTime, 1782929700 + 5400);
}

TEST_F(Programs, DescriptionsInTheUsersZoneAndLocaleNameWhatTheyRecord) {
  channels.tv.entries[0] = {"Uno", "55.25"};
  channels.tv.count = 1;
  RecordingProgram p;
  p.startTime = kNow + 30 * 60;
  p.durationSeconds = 45 * 60;
  EXPECT_EQ(DescribeProgram(p, clock, channels, dates),
            "Recording Start: 03/02/26 at 09:30 hours - End: 45 min. after - the tuned channel");
  p.durationSeconds = 86400;
  p.recordFromChannel = 1;
  EXPECT_EQ(DescribeProgram(p, clock, channels, dates),
            "Recording Start: 03/02/26 at 09:30 hours - End: 24 h. 0 min. after - TV 1: Uno");
  // A channel no longer in its table keeps its number.
  p.isTv = 0;
  p.channelIndex = 5;
  EXPECT_EQ(DescribeProgram(p, clock, channels, dates),
            "Recording Start: 03/02/26 at 09:30 hours - End: 24 h. 0 min. after - FM 6");

  ScopedTimeZone berlin(kBerlin);
  ScopedTimeLocale german("de_DE.UTF-8");
  if (!german.Ok()) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  p.durationSeconds = 65 * 60;
  EXPECT_EQ(DescribeProgram(p, clock, channels, dates),
            "Recording Start: 02.03.2026 at 10:30 hours - End: 1 h. 5 min. after - FM 6");
}

TEST_F(Programs, ProfileRows) {
  ChannelTables channels;
  channels.tv.entries[0] = {"Uno", "55.25"};
  channels.tv.count = 1;
  channels.fm.entries[0] = {"Radio", "88.00"};
  channels.fm.count = 1;
  RecordingProfile r;
  r.startHour = 8, r.startMinute = 5, r.durationHours = 0, r.durationMinutes = 45;
  EXPECT_EQ(FormatProfileRow(r, channels),
            (std::array<std::string, 3>{"(current)", "08:05", "45 minutes"}));
  r.recordFromChannel = 1, r.durationHours = 1, r.durationMinutes = 5;
  EXPECT_EQ(FormatProfileRow(r, channels),
            (std::array<std::string, 3>{"Uno", "08:05", "1:05 hours"}));
  r.isTv = 0;
  EXPECT_EQ(FormatProfileRow(r, channels)[0], "Radio");
  r.channelIndex = 1;  // beyond the table: no name, nothing read outside it
  EXPECT_EQ(FormatProfileRow(r, channels)[0], "");
  r.channelIndex = -3;
  EXPECT_EQ(FormatProfileRow(r, channels)[0], "");
}

TEST_F(Programs, NextStartFromProfileAcrossMidnightAndSummerTime) {
  RecordingProfile r;
  r.startHour = 8;
  EXPECT_EQ(NextStartFromProfile(r, kNow, clock), kNow - 3600 + 86400);      // tomorrow 08:00
  EXPECT_EQ(NextStartFromProfile(r, kNow - 3600 - 30, clock), kNow - 3600);  // 07:59:30: today
  EXPECT_EQ(NextStartFromProfile(r, kNow - 3600, clock), kNow - 3600);       // exactly now: today
  r.startHour = 23, r.startMinute = 30;
  const int64_t lateEvening = kNow + 14 * 3600 + 45 * 60;  // 23:45
  EXPECT_EQ(NextStartFromProfile(r, lateEvening, clock), kNow + 14 * 3600 + 30 * 60 + 86400);

  // Saturday 2026-03-28 09:00 in Berlin (08:00 UTC); summer time begins that night. Tomorrow is
  // 86400 seconds on, which is 09:00 summer time.
  ScopedTimeZone berlin(kBerlin);
  r.startHour = 8, r.startMinute = 0;
  const int64_t saturday = 1774684800;
  const int64_t next = NextStartFromProfile(r, saturday, clock);
  EXPECT_EQ(next, saturday - 3600 + 86400);
  EXPECT_EQ(clock.ToLocal(next).day, 29);
  EXPECT_EQ(clock.ToLocal(next).hour, 9);
}

TEST(StoredProfiles, BytesAndWhatABadCountOrBlockKeeps) {
  RecordingProfileTable table;
  table.profiles[0] = {30, 1, 0, 7, 23, 59, 24, 0};
  const std::vector<uint8_t> expected = {30, 0, 0, 0, 1,  0, 0, 0, 0,  0, 0, 0, 7, 0, 0, 0,
                                         23, 0, 0, 0, 59, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(EncodeProfiles(table, 1), expected);

  RecordingProfileTable read;
  ApplyStoredProfiles(read, 1, expected);
  EXPECT_EQ(read.profileCount, 1);
  EXPECT_EQ(read.profiles[0].channelIndex, 7);
  EXPECT_EQ(read.profiles[0].durationHours, 24);

  ApplyStoredProfiles(read, 11, std::vector<uint8_t>(11 * 32));
  EXPECT_EQ(read.profileCount, 0);
  ApplyStoredProfiles(read, 2, expected);  // 32 bytes for two: the old profiles stay
  EXPECT_EQ(read.profileCount, 2);
  EXPECT_EQ(read.profiles[0].channelIndex, 7);
}

TEST(StoredPrograms, BytesAndWhatIsRefused) {
  RecordingProgramTable table;
  table.programCount = 2;
  RecordingProgram& p = table.programs[0];
  p.armed = 1, p.frameRate = 15, p.recordFromChannel = 1, p.isTv = 0, p.channelIndex = -2;
  p.startTime = 0x0000000123456789, p.durationSeconds = 3600;
  table.programs[1].armed = 0;  // held by the dialog, unconfirmed: not kept
  const std::vector<uint8_t> expected = {
      15,   0,    0,    0,    1,    0, 0, 0, 0,    0,    0, 0, 0xFE, 0xFF, 0xFF, 0xFF,
      0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0, 0x10, 0x0E, 0, 0, 0,    0,    0,    0};
  EXPECT_EQ(EncodePrograms(table), expected);

  std::vector<uint8_t> odd = expected;
  odd[0] = 31;  // frame rate out of range
  odd[8] = 7;   // a flag that is not 0 or 1
  odd[28] = 9;  // reserved: ignored
  RecordingProgramTable read;
  odd.resize(32 + 31);  // and a program cut short after it
  EXPECT_EQ(DecodePrograms(read, odd), 1);
  ASSERT_EQ(read.programCount, 1);
  EXPECT_EQ(read.programs[0].frameRate, 25);
  EXPECT_EQ(read.programs[0].isTv, 1u);
  EXPECT_EQ(read.programs[0].channelIndex, -2);
  EXPECT_EQ(read.programs[0].startTime, 0x0000000123456789);
  EXPECT_EQ(read.programs[0].endTime, 0x0000000123456789 + 3600);
  EXPECT_EQ(read.programs[0].armed, 0u);

  EXPECT_EQ(DecodePrograms(read, std::vector<uint8_t>(11 * 32)), 10);  // the table holds ten
  EXPECT_EQ(read.programCount, 10);
}

}  // namespace
}  // namespace kelmo::test
