#include <QTimer>

#include "app/ScheduleSettings.h"
#include "app/qt/ElidedLabel.h"
#include "app/qt/MainWindowFixture.h"
#include "channels/qt/CAddChannelDlg.h"
#include "channels/qt/ChannelsDialog.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

using ScheduleWindow = MainWindowFixture;

// The window reads the stored programs at start. The first falls due while a channel search waits
// for the user's answer: it ends the search as Abort does, keeping what was found, and starts on
// its own channel. The table is kept on disk as programs end, and after the last one the window
// closes and shuts the computer down once.
TEST_F(ScheduleWindow, StoredProgramsEndASearchAndTheLastEndsInShutdown) {
  ScopedTimeZone utc("UTC0");
  WriteChannelFile({}, {{"Radio", "88.00"}});
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

  // Nothing records (no sound formats), so the tick ends each program itself at its end; the
  // window stops ticking once it has closed.
  auto tick = [&](std::initializer_list<int64_t> times) {
    for (int64_t t : times) {
      if (dlg->Destroyed()) return;
      clock.Set(t);
      dlg->OnTimer();
    }
  };
  ctx->state.shutdownWhenFinished = 1;
  // A profile file is read once: each look at the disk is a new one.
  const auto storedCount = [&] {
    return ProfileFile(file.Path()).GetProfileInt("General", "ProgramsCount", -1);
  };
  tick({40200, 40201, 40202});
  EXPECT_EQ(storedCount(), 1);
  // The schedule line names the next program's channel; a field too narrow shortens it on screen
  // and keeps the whole line for the tooltip and the screen reader.
  auto* line = dynamic_cast<ElidedLabel*>(Find<QLabel>("1003"));
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->text().endsWith(" - FM 1: Radio")) << line->text().toStdString();
  EXPECT_TRUE(line->ShownText().endsWith(QChar(0x2026))) << line->ShownText().toStdString();
  dlg->resize(1600, dlg->height());
  QCoreApplication::processEvents();
  EXPECT_EQ(line->ShownText(), line->text());

  tick({43200, 43800, 43801, 43802});
  EXPECT_TRUE(dlg->Destroyed());
  EXPECT_EQ(power.ShutdownCount(), 1);
  EXPECT_EQ(storedCount(), 0);
}

}  // namespace
}  // namespace kelmo::test
