#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/ProfileBlock.h"
#include "app/qt/MainWindowFixture.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureRig.h"
#include "capture/qt/CChooseDriverDlg.h"
#include "schedule/qt/CRecordingProgramsDlg.h"
#include "support/TimeZone.h"

namespace kelmo::test {
namespace {

// The main window with the test pattern as its one capture driver and the simulated sound card,
// both in real time.
struct CaptureMainWindow : MainWindowFixture {
  SystemClock realTime;
  std::unique_ptr<CaptureRig> rig;

  void SetUp() override {
    MainWindowFixture::SetUp();
    UseSimulatedSound(realTime);
    rig =
        std::make_unique<CaptureRig>(TestPatternSwitches{}, CaptureRig::TvStation(), &sound->input);
    ctx->capture.SetWindow(&rig->window);
    ctx->capture.SetCatalog(&rig->catalog);
  }

  // TV mode on a channel, recordings in the data folder, 768 x 576 YUY2 pictures in Motion JPEG.
  void OpenForRecording() {
    WriteChannelFile({{"Uno", "55.25"}}, {});
    BitmapInfoHeader yuy2;
    yuy2.biWidth = 768, yuy2.biHeight = 576, yuy2.biBitCount = 16, yuy2.biCompression = kFourccYuy2;
    WriteSettings("[General]\nTV=1\nSaveDir=" + dataDir.path().toStdString() +
                  "/\n[Video]\nVideoFormat=" + EncodeProfileBlock(yuy2.ToBytes()) +
                  "\nCompressor=mjpeg\n");
    Open();
  }
  QPushButton* Rec() const { return Find<QPushButton>("1008"); }
  QPushButton* Stop() const { return Find<QPushButton>("1009"); }
  bool Idle() const { return Rec()->isEnabled() && !Stop()->isEnabled(); }
  void TearDown() override {
    CloseWindow();
    rig.reset();
  }
};

TEST_F(CaptureMainWindow, ThePictureShowsAndTheSavedOverlayFollowsTheDriver) {
  WriteSettings("[General]\nOverlay=1\n");
  Open();
  EXPECT_EQ(ctx->state.overlayOn, 1);  // the test pattern has an overlay
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->isChecked());
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->Picture()->PaintedFrames() > 2; }, 3000));

  dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->trigger();
  EXPECT_EQ(ctx->state.overlayOn, 0);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->isChecked());
  EXPECT_TRUE(rig->window.GetStatus().fLiveWindow);
}

TEST_F(CaptureMainWindow, WithoutADriverTheSavedOverlayShowsOff) {
  WriteSettings("[General]\nOverlay=1\n");
  rig = std::make_unique<CaptureRig>(TestPatternSwitches{.openFault = DeviceErrorKind::Io});
  ctx->capture.SetWindow(&rig->window);
  ctx->capture.SetCatalog(&rig->catalog);
  Open();
  EXPECT_EQ(ctx->state.overlayOn, 0);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->isChecked());
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_NE(messages.Texts().back().find("Kelmo Test Pattern"), std::string::npos);
}

TEST_F(CaptureMainWindow, ChooseDriverOkRestartsTheCardWithTvSound) {
  WriteChannelFile({}, {{"Radio Faro", "87.60"}});
  WriteSettings("[General]\nTV=0\n");
  Open();
  dlg->OnMute();  // muted FM: the restart still leaves the TV sound on
  const std::size_t before = Bus().Lines().size();
  OnNextModal<CChooseDriverDlg>([](CChooseDriverDlg& d) {
    EXPECT_EQ(d.m_driverCombo->count(), 1);
    EXPECT_EQ(d.m_driverCombo->itemText(0), "Kelmo Test Pattern (1.0)");
    d.accept();
  });
  dlg->MenuAction(CKelmoDlg::ID_CHOOSE_DRIVER)->trigger();
  const auto lines = Bus().Lines();
  ASSERT_GT(lines.size(), before);
  EXPECT_EQ(lines.back(), "GPIO 3");
  EXPECT_EQ(ctx->capture.captureDriverIndex, 0);
  EXPECT_EQ(ctx->capture.driverConnected, 1);
}

// "Sound Format" in the capture options offers what the sound input records (the simulated card:
// plain PCM only), and the choice becomes the format of the window and of the AVI.
TEST_F(CaptureMainWindow, SoundFormatOffersWhatTheInputRecordsAndKeepsTheChoice) {
  Open();
  QStringList tags;
  OnNextModal<QDialog>([&tags](QDialog& options) {
    OnNextModal([&tags](QWidget& chooser) {
      auto* tagList = chooser.findChild<QComboBox*>("m_formatTag");
      for (int i = 0; i < tagList->count(); ++i) tags << tagList->itemText(i);
      auto* lines = chooser.findChild<QComboBox*>("m_format");
      lines->setCurrentIndex(lines->findText("11,025 Hz, 8 Bit, Mono", Qt::MatchStartsWith));
      chooser.findChild<QPushButton*>("okButton")->click();
    });
    options.findChild<QPushButton*>("4")->click();
    options.reject();
  });
  dlg->MenuAction(CKelmoDlg::ID_AVI_OPTIONS)->trigger();
  EXPECT_EQ(tags, QStringList{"PCM"});
  EXPECT_EQ(ctx->capture.aviAudioFormatSet, 1);
  EXPECT_EQ(ctx->capture.aviAudioFormat.formatName, "PCM");
  EXPECT_EQ(ctx->capture.aviAudioFormat.format.nSamplesPerSec, 11025u);
  EXPECT_EQ(ctx->capture.aviAudioFormat.format.wBitsPerSample, 8);
  std::vector<uint8_t> window(rig->window.GetAudioFormatSize());
  rig->window.GetAudioFormat(window.data(), static_cast<uint32_t>(window.size()));
  EXPECT_EQ(window, ctx->capture.aviAudioFormat.format.ToBytes());
}

// The first REC of a run asks for the compression, records picture and sound in step, and STOP
// leaves a file players read.
TEST_F(CaptureMainWindow, RecThenStopEscapeOrARightClickInTvModeRecordThePictureAndTheSound) {
  OpenForRecording();
  // The level meter listens first: REC hands the sound input to the capture, which feeds the
  // meter from the sound it records; after STOP the meter listens again by itself.
  Find<QPushButton>("1010")->click();
  ASSERT_TRUE(ctx->recorders.sound->InputRunning());
  auto* meter = Find<QProgressBar>("1019");
  OnNextModal<QDialog>([](QDialog& d) {
    EXPECT_EQ(d.objectName(), "videoCompressionDialog");
    d.accept();
  });
  Rec()->click();
  ASSERT_TRUE(ctx->recorders.video->IsRecording()) << ::testing::PrintToString(messages.Texts());
  EXPECT_FALSE(ctx->recorders.sound->InputRunning());
  EXPECT_FALSE(Rec()->isEnabled());
  QTest::qWait(50);  // the monitoring input's end empties the meter
  meter->setValue(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return meter->value() > 0; }));
  // The status line tells the time and the room left on the disk.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Find<QLabel>("1000")->text().contains("free"); }));
  Stop()->click();
  EXPECT_FALSE(ctx->recorders.video->IsRecording());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Idle(); }));
  EXPECT_TRUE(messages.Texts().empty()) << ::testing::PrintToString(messages.Texts());
  EXPECT_TRUE(ctx->recorders.sound->InputRunning());
  EXPECT_EQ(ctx->state.levelMeterOn, 1);
  // What was saved stays on the status line against the clock's ticks, till the next action.
  const QString saved = QString::fromStdString(
      "Saved " + std::filesystem::path(ctx->capture.captureFileName).filename().string() +
      " \u2014 0:0");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Find<QLabel>("1000")->text().startsWith(saved); }));
  dlg->OnTimer();
  EXPECT_TRUE(Find<QLabel>("1000")->text().contains(" frames ("))
      << Find<QLabel>("1000")->text().toStdString();

  const auto streams = Probe(ctx->capture.captureFileName);
  ASSERT_EQ(streams.size(), 2u) << ctx->capture.captureFileName;
  const ProbedStream& video = streams[0];
  const ProbedStream& audio = streams[1];
  EXPECT_EQ(video.at("codec_name"), "mjpeg");
  EXPECT_EQ(video.at("width"), "768");
  EXPECT_EQ(video.at("height"), "576");
  EXPECT_EQ(video.at("r_frame_rate"), "25/1");
  EXPECT_EQ(audio.at("codec_name"), "pcm_s16le");
  EXPECT_EQ(audio.at("sample_rate"), "22050");
  EXPECT_EQ(audio.at("channels"), "1");
  const double audioSeconds = std::stod(audio.at("nb_frames")) / 22050;
  EXPECT_GT(audioSeconds, 0.5);
  const double videoSeconds = std::stod(video.at("duration"));
  EXPECT_NEAR(videoSeconds, audioSeconds, 0.04);
  // Every frame slot is in the stream's length; the empty chunks of dropped frames (a busy
  // machine) are not packets a reader returns.
  EXPECT_NEAR(std::stoi(video.at("nb_frames")), videoSeconds * 25, 1.0);
  EXPECT_LE(std::stoi(video.at("nb_read_packets")), std::stoi(video.at("nb_frames")));

  // Escape and a right click in the picture end a recording too (the compression is chosen now:
  // no dialog), once "Stop the recording?" is answered Yes; No (the default) leaves it recording.
  // Neither closes the window nor opens its menu.
  for (const bool escape : {true, false}) {
    SCOPED_TRACE(escape);
    dlg->OnTimer();  // the tick after a recording's end clears the schedule's flags
    Rec()->click();
    ASSERT_TRUE(ctx->recorders.video->IsRecording());
    QTest::qWait(300);
    const auto abort = [&] {
      if (escape)
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
      else
        QTest::mouseClick(dlg->Picture(), Qt::RightButton);
    };
    messages.Clear();
    messages.Answer(MessageAnswer::No);
    abort();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "Stop the recording?");
    EXPECT_EQ(messages.Shown()[0].defaultAnswer, MessageAnswer::No);
    EXPECT_TRUE(ctx->recorders.video->IsRecording());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    messages.Answer(MessageAnswer::Yes);
    abort();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Idle(); }));
    EXPECT_FALSE(ctx->recorders.video->IsRecording());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(dlg->isVisible());
  }
}

// A scheduled TV program takes the compressor stored in config.dat without a dialog; under an
// open Recording Programs dialog programs still end and start on time, and its list follows.
TEST_F(CaptureMainWindow, ScheduleRecordsWithTheStoredCompressorAndRunsUnderTheOpenDialog) {
  ScopedTimeZone utc("UTC0");
  OpenForRecording();
  ctx->audioFormats.inputFormatSet = ctx->audioFormats.compressionFormatSet = 1;
  const int64_t start = clock.Now() + 2;
  RecordingProgramTable& table = ctx->programs;
  for (int64_t s : {start, start + 20}) {
    RecordingProgram& p = table.programs[static_cast<std::size_t>(table.programCount.load())];
    p.armed = 1, p.frameRate = 25, p.startTime = s, p.durationSeconds = 10, p.endTime = s + 10;
    ++table.programCount;
  }
  clock.Set(start);
  dlg->OnTimer();
  ASSERT_TRUE(ctx->recorders.video->IsRecording()) << ::testing::PrintToString(messages.Texts());
  EXPECT_EQ(rig->dialogs.shown, 0);

  bool ran = false;
  OnNextModal<CRecordingProgramsDlg>([&](CRecordingProgramsDlg& d) {
    ran = true;
    auto* list = d.findChild<QTreeWidget*>("m_programList");
    auto first = [list] { return list->topLevelItem(0)->text(0); };
    EXPECT_TRUE(first().endsWith("(recording)")) << first().toStdString();
    // The first program's end: its callback notices it, two ticks stop and remove it; the
    // second starts at its time.
    clock.Set(start + 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ctx->state.recordingFinished != 0; }, 3000));
    for (int64_t t : {start + 11, start + 12, start + 20}) {
      clock.Set(t);
      dlg->OnTimer();
    }
    EXPECT_EQ(list->topLevelItemCount(), 1);
    EXPECT_TRUE(ctx->recorders.video->IsRecording());
    EXPECT_TRUE(first().endsWith("(recording)"));
    d.findChild<QPushButton*>("okButton")->click();
  });
  dlg->MenuAction(CKelmoDlg::ID_RECORDING_PROGRAMS)->trigger();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(ctx->recorders.video->IsRecording());  // OK keeps the program that records
  Stop()->click();
}

}  // namespace
}  // namespace kelmo::test
