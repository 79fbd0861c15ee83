#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "app/KelmoContext.h"
#include "app/ProfileFile.h"
#include "app/qt/DialogPorts.h"
#include "capture/CaptureRig.h"
#include "platform/qt/QtDateFormat.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "schedule/StoredPrograms.h"
#include "schedule/qt/CRecordingProgramsDlg.h"
#include "schedule/qt/HeldSpinBox.h"
#include "support/Fakes.h"
#include "support/TimeZone.h"

namespace kelmo {
namespace {

using ::testing::ElementsAre;

constexpr int64_t kMonday10h = 1796637600;  // 2026-12-07 10:00:00 UTC

class RecordingProgramsDlgTest : public ::testing::Test {
 protected:
  RecordingProgramsDlgTest() {
    ctx.card.SetCandidates({KELMO_BUILD_DIR "/Btvid_32.so"});
    ctx.card.LoadCardLibrary();
    ctx.audioFormats.inputFormatSet = 1;
    ctx.audioFormats.compressionFormatSet = 1;
    ctx.capture.aviAudioFormatSet = 1;
    ctx.capture.videoFormatSet = 1;
    ctx.capture.compressionSet = 1;
    SetChannels(3, 2);
  }

  void SetChannels(int tv, int fm) {
    ctx.channels.tv.count = tv;
    for (int i = 0; i < tv; ++i)
      ctx.channels.tv.entries[i] = {"TV" + std::to_string(i), std::to_string(100 + i) + ".25"};
    ctx.channels.fm.count = fm;
    for (int i = 0; i < fm; ++i)
      ctx.channels.fm.entries[i] = {"FM" + std::to_string(i), std::to_string(90 + i) + ".50"};
  }

  // Opens the dialog, runs `act` in it once it is shown, then presses `close`. Returns what the
  // dialog returned.
  int Run(const std::function<void()>& act, const char* close = "okButton") {
    dlg = std::make_unique<CRecordingProgramsDlg>(RecordingProgramsPortsOf(ctx));
    dlg->runChannelMenu = [this](const std::vector<std::string>& items, const QPoint&) {
      menuItems = items;
      return menuChoice;
    };
    // Stopped when the dialog closes without being shown, so it never acts on a later one.
    QTimer inside;
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, [this, &act, close] {
      act();
      if (dlg->isVisible()) Find<QPushButton>(close)->click();
    });
    inside.start(0);
    return dlg->DoModal();
  }

  template <typename T>
  T* Find(const char* name) const {
    return dlg->findChild<T*>(name);
  }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  bool Checked(const char* name) { return Find<QCheckBox>(name)->isChecked(); }
  bool Enabled(const char* name) { return Find<QWidget>(name)->isEnabled(); }
  QString ChannelText() { return Find<QLabel>("m_channelText")->text(); }
  void Select(const char* list, int row) {
    auto* view = Find<QTreeWidget>(list);
    view->setCurrentItem(view->topLevelItem(row));
  }
  int Rows(const char* list) { return Find<QTreeWidget>(list)->topLevelItemCount(); }
  void SetTime(int hour, int minute) {
    Find<QTimeEdit>("m_timePicker")->setTime(QTime(hour, minute));
  }
  void Type(const char* spin, const char* text) {
    auto* field = Find<HeldSpinBox>(spin);
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  // Adds a program starting today at hour:minute, lasting `minutes`.
  void AddProgram(int hour, int minute, int minutes = 30) {
    SetTime(hour, minute);
    Find<HeldSpinBox>("m_hoursSpin")->setValue(0);
    Find<HeldSpinBox>("m_minutesSpin")->setValue(minutes);
    Click("m_addProgram");
  }

  test::ScopedTimeZone zone{"UTC0"};
  QTemporaryDir dataDir;
  ManualClock clock{kMonday10h};
  test::RecordingMessages messages;
  RecordingPower power;
  test::RecordingShell shell;
  KelmoContext ctx{clock, messages, power, shell, dataDir.path().toStdString()};
  std::unique_ptr<CRecordingProgramsDlg> dlg;
  std::vector<std::string> menuItems;
  int menuChoice = -1;
};

// A program's row names what it records and its date as the user's locale writes it (German and
// American here, whatever the machine's), with the year in full.
TEST_F(RecordingProgramsDlgTest, ProgramRowNamesItsChannelAndItsDateInTheUsersLocale) {
  QtDateFormat desktop;
  ctx.dates = &desktop;
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  SetChannels(1, 0);
  QString row;
  Run([&] {
    Click("m_recordFromChannel");
    Click("m_selectChannel");
    AddProgram(21, 30, 45);
    row = Find<QTreeWidget>("m_programList")->topLevelItem(0)->text(0);
  });
  EXPECT_EQ(row, "Recording Start: 07.12.2026 at 21:30 hours - End: 45 min. after - TV 1: TV0");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  LocalTime day;
  day.year = 2026, day.month = 12, day.day = 7;
  EXPECT_EQ(desktop.Date(day), "12/7/2026");
  QLocale::setDefault(before);
}

// Missing formats are named in order and the dialog closes unshown; when only the compressor is
// missing, its dialog is offered first.
TEST_F(RecordingProgramsDlgTest, MissingFormatsAreNamedAndOnlyAMissingCompressorIsAskedFor) {
  ctx.audioFormats = {};
  ctx.capture.videoFormatSet = 0;
  ctx.capture.compressionSet = 0;
  bool shown = false;
  Run([&] { shown = true; });
  EXPECT_FALSE(shown);
  // With other formats missing, the compression dialog is not offered.
  EXPECT_THAT(messages.Texts(),
              ElementsAre("You didn't set Input WAV Format (Options/WAV Capture Options)",
                          "You didn't set Compression WAV Format (Options/WAV Capture Options)",
                          "You didn't set the Video Format (Options/Capture Options)",
                          "You didn't set the Compression (Options/Capture Options)"));
  EXPECT_FALSE(ctx.programs.Editing());

  ctx.audioFormats.inputFormatSet = ctx.audioFormats.compressionFormatSet = 1;
  ctx.capture.videoFormatSet = 1;
  // Cancel in the compression dialog sets nothing: the dialog closes unshown.
  test::CaptureRig rig;
  ASSERT_TRUE(rig.window.DriverConnect(0).ok());
  ctx.capture.SetWindow(&rig.window);
  messages.Clear();
  Run([&] { shown = true; });
  EXPECT_FALSE(shown);
  EXPECT_EQ(ctx.capture.compressionSet, 0);
  EXPECT_THAT(messages.Texts(),
              ElementsAre("You didn't set the Compression (Options/Capture Options)"));

  rig.dialogs.compression = VideoCompressionChoice{VideoCodec::MotionJpeg, 5};
  Run([&] { shown = true; });
  ctx.capture.SetWindow(nullptr);
  EXPECT_EQ(rig.dialogs.shown, 2);
  EXPECT_TRUE(shown);
  EXPECT_EQ(ctx.capture.compressionSet, 1);
  EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST_F(RecordingProgramsDlgTest, RecordFromChannelFollowsTheTables) {
  Run([&] {
    SetChannels(0, 0);
    Click("m_recordFromChannel");
    EXPECT_FALSE(Checked("m_recordFromChannel"));
    EXPECT_FALSE(Enabled("m_tvCheck") || Enabled("m_selectChannel"));

    SetChannels(3, 0);
    Click("m_recordFromChannel");
    EXPECT_TRUE(Checked("m_recordFromChannel") && Checked("m_tvCheck"));
    EXPECT_FALSE(Enabled("m_fmCheck"));

    // A pop-up closed without a choice (menuChoice -1) picks the first channel of the table shown.
    Click("m_selectChannel");
    EXPECT_THAT(menuItems, ElementsAre("TV0", "TV1", "TV2"));
    EXPECT_EQ(ChannelText(), "(100.25)  TV0");
    menuChoice = 2;
    Click("m_selectChannel");
    EXPECT_EQ(ChannelText(), "(102.25)  TV2");
    AddProgram(11, 0);
  });
  ASSERT_EQ(ctx.programs.programCount, 1);
  EXPECT_EQ(ctx.programs.programs[0].channelIndex, 2);
  EXPECT_EQ(ctx.programs.programs[0].recordFromChannel, 1u);
}

// Deleting shows the program that takes the place; numbers typed beyond the ranges are held, and
// OK refuses the 24 h 59 min they make, naming the limit.
TEST_F(RecordingProgramsDlgTest, DeletingShowsTheNextProgramAndTypedNumbersAreHeld) {
  Run([&] {
    AddProgram(11, 0, 10);
    AddProgram(12, 0, 20);
    AddProgram(13, 0, 30);
    Select("m_programList", 2);
    Click("m_deleteProgram");
    EXPECT_EQ(Find<HeldSpinBox>("m_minutesSpin")->value(), 20);
    Select("m_programList", 0);
    Click("m_deleteProgram");
    EXPECT_EQ(Find<HeldSpinBox>("m_minutesSpin")->value(), 20);
    EXPECT_EQ(Find<QTimeEdit>("m_timePicker")->time(), QTime(12, 0));

    SetTime(14, 0);
    Type("m_hoursSpin", "99");
    Type("m_minutesSpin", "75");
    Type("m_frameRateSpin", "45");
    Click("m_addProgram");
    EXPECT_EQ(ctx.programs.programs[1].durationSeconds, 24 * 3600 + 59 * 60);
    EXPECT_EQ(ctx.programs.programs[1].frameRate, 30);
  });
  ASSERT_EQ(ctx.programs.programCount, 1);
  EXPECT_EQ(ctx.programs.programs[0].startTime, kMonday10h + 7200);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{
                                  "Program 2 eliminated. Duration can't be longer than 24 hours."});
}

TEST_F(RecordingProgramsDlgTest, AProfileIsAppliedForItsNextStartAndItsChannelHeldToTheTable) {
  // Two profiles as another tool may have written them: TV channel 7 (the table has 3), 09:30.
  RecordingProfileTable stored;
  stored.profiles[0] = {12, 1, 1, 7, 9, 30, 1, 5};
  stored.profiles[1] = {25, 0, 1, 0, 10, 15, 0, 45};
  ProfileChanges changes;
  changes.WriteProfileInt("General", "ProfilesCount", 2);
  changes.WriteProfileBinary("General", "ProfilesData", EncodeProfiles(stored, 2));
  ASSERT_TRUE(ProfileFile(ctx.SettingsPath()).Write(changes));

  Run([&] {
    ASSERT_EQ(Rows("m_profileList"), 2);
    EXPECT_EQ(Find<QTreeWidget>("m_profileList")->topLevelItem(0)->text(2), "1:05 hours");
    Select("m_profileList", 0);
    Click("m_applyProfile");
    EXPECT_EQ(Find<QDateEdit>("m_datePicker")->date(), QDate(2026, 12, 8));  // 09:30 has passed
    EXPECT_EQ(ChannelText(), "(102.25)  TV2");
    EXPECT_EQ(Find<HeldSpinBox>("m_frameRateSpin")->value(), 12);
    Click("m_addProgram");
    Select("m_profileList", 1);
    Click("m_applyProfile");
    EXPECT_EQ(Find<QDateEdit>("m_datePicker")->date(), QDate(2026, 12, 7));
    EXPECT_FALSE(Checked("m_recordFromChannel"));
  });
  ASSERT_EQ(ctx.programs.programCount, 1);
  EXPECT_EQ(ctx.programs.programs[0].startTime, kMonday10h + 86400 - 1800);
  EXPECT_EQ(ctx.programs.programs[0].channelIndex, 2);
  EXPECT_EQ(ctx.programs.programs[0].durationSeconds, 3900);
}

// OK keeps ten programs and ten profiles at most; Cancel puts back the table and the saved
// profiles, but not the shutdown request.
TEST_F(RecordingProgramsDlgTest, TenAtMostAndCancelPutsBackTheTableAndProfilesButNotTheShutdown) {
  Run([&] {
    for (int i = 0; i < 11; ++i) {
      AddProgram(21 - i, 0);
      Click("m_newProfile");
    }
  });
  EXPECT_THAT(messages.Texts(),
              ElementsAre("The limit is 10 Programs.", "The limit is 10 Profiles."));
  const std::vector<uint8_t> armed = EncodePrograms(ctx.programs);
  ASSERT_EQ(armed.size(), 10 * 32u);
  EXPECT_EQ(ProfileFile(ctx.SettingsPath()).GetProfileInt("General", "ProgramsCount", 0), 10);
  EXPECT_EQ(ProfileFile(ctx.SettingsPath()).GetProfileInt("General", "ProfilesCount", 0), 10);

  Run(
      [&] {
        EXPECT_TRUE(ctx.programs.Editing());
        EXPECT_FALSE(Checked("m_shutdownCheck"));
        Click("m_shutdownCheck");
        Select("m_programList", 0);
        Click("m_deleteProgram");
        AddProgram(10, 30);
        Select("m_profileList", 0);
        Click("m_deleteProfile");
        EXPECT_EQ(Rows("m_profileList"), 9);
      },
      "cancelButton");
  EXPECT_EQ(EncodePrograms(ctx.programs), armed);
  EXPECT_FALSE(ctx.programs.Editing());
  EXPECT_EQ(ctx.state.shutdownWhenFinished, 1);

  Run(
      [&] {
        EXPECT_EQ(Rows("m_profileList"), 10);
        EXPECT_TRUE(Checked("m_shutdownCheck"));  // the request as it stands
      },
      "cancelButton");
}

}  // namespace
}  // namespace kelmo
