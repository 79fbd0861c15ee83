#include <QComboBox>
#include <QTimer>

#include "app/qt/MainWindowFixture.h"
#include "capture/CaptureRig.h"
#include "capture/qt/CChooseDriverDlg.h"

namespace kelmo::test {
namespace {

// The main window with the test pattern as its one capture driver.
struct CaptureMainWindow : MainWindowFixture {
  std::unique_ptr<CaptureRig> rig;

  void SetUp() override {
    MainWindowFixture::SetUp();
    rig = std::make_unique<CaptureRig>();
    ctx->capture.SetWindow(&rig->window);
    ctx->capture.SetCatalog(&rig->catalog);
  }
  void TearDown() override {
    CloseWindow();
    rig.reset();
  }

  // Runs `act` on the modal dialog the next menu command opens.
  template <typename Dialog>
  void OnNextDialog(std::function<void(Dialog&)> act) {
    QTimer::singleShot(50, [act] {
      if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) act(*d);
    });
  }
};

TEST_F(CaptureMainWindow, ThePictureShowsAndTheSavedOverlayFollowsTheDriver) {
  WriteSettings("[General]\nOverlay=1\n");
  Open();
  EXPECT_EQ(ctx->state.overlayOn, 1);  // the test pattern has an overlay
  EXPECT_TRUE(dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->isChecked());
  QTRY_VERIFY_WITH_TIMEOUT(dlg->Picture()->PaintedFrames() > 2, 3000);
  EXPECT_EQ(dlg->Picture()->CurrentImage().width(), 384);

  dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->trigger();
  EXPECT_EQ(ctx->state.overlayOn, 0);
  EXPECT_FALSE(dlg->MenuAction(CKelmoDlg::ID_OVERLAY)->isChecked());
  EXPECT_TRUE(rig->window.GetStatus().fLiveWindow);
}

TEST_F(CaptureMainWindow, WithoutADriverTheSavedOverlayShowsOff) {
  WriteSettings("[General]\nOverlay=1\n");
  rig = std::make_unique<CaptureRig>(TestPatternSwitches{.failOpen = true});
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
  OnNextDialog<CChooseDriverDlg>([](CChooseDriverDlg& d) {
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

}  // namespace
}  // namespace kelmo::test
