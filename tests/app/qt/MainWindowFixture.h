#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/KelmoContext.h"
#include "app/qt/CKelmoApp.h"
#include "app/qt/CKelmoDlg.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "support/Fakes.h"

namespace kelmo::test {

// A main window over simulated ports and a fresh data folder, with the application's key routing.
struct MainWindowFixture : ::testing::Test {
  QTemporaryDir dataDir;
  ManualClock clock{36000};
  RecordingMessages messages;
  RecordingPower power;
  RecordingShell shell;
  std::unique_ptr<KelmoContext> ctx;
  std::unique_ptr<CKelmoApp> app;
  std::unique_ptr<CKelmoDlg> dlg;

  void SetUp() override { ctx = MakeContext(); }

  std::unique_ptr<KelmoContext> MakeContext() {
    return std::make_unique<KelmoContext>(clock, messages, power, shell,
                                          dataDir.path().toStdString());
  }

  // Opens the window, shown and active, as the application runs it.
  void Open() {
    app = std::make_unique<CKelmoApp>(*ctx);
    dlg = std::make_unique<CKelmoDlg>(*ctx);
    app->SetMainWindow(dlg.get());
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }

  template <typename T>
  T* Find(const char* id) const {
    return dlg->findChild<T*>(id);
  }

  void TearDown() override {
    if (dlg && !dlg->Destroyed()) {
      dlg->CloseAsCloseBox();
    }
    dlg.reset();
    app.reset();
  }
};

}  // namespace kelmo::test
