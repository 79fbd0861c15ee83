#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/KelmoContext.h"
#include "app/qt/CKelmoApp.h"
#include "app/qt/CKelmoDlg.h"
#include "audio/AcmFormats.h"
#include "audio/linux/FfmpegCodecManager.h"
#include "audio/linux/FfmpegWmaWriter.h"
#include "audio/qt/CFormatChooseDlg.h"
#include "audio/sim/SimWaveInput.h"
#include "audio/sim/SimWaveOutput.h"
#include "base/qt/UpDownControl.h"
#include "capture/qt/CapturePicture.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "support/BusLog.h"
#include "support/ChannelBytes.h"
#include "support/Fakes.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{' << list.join(", ").toStdString() << '}';
}

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
  std::unique_ptr<RecordingEngine> engine;
  std::unique_ptr<CKelmoDlg> dlg;

  // The simulated sound card with the program's codecs, as the composition builds them with --sim.
  struct SimulatedSound {
    SimulatedSound(Clock& pace, SimWaveInput::CardQuery query)
        : input(pace, std::move(query)),
          codecs(conversions, OfferedWaveFormats(),
                 [this](std::span<const uint8_t> f) { return input.SupportsFormat(f); }) {}
    SimWaveInput input;
    SimWaveOutput output;
    FfmpegCodecManager conversions;
    ChooserCodecManager codecs;
    FfmpegWmaWriterFactory wmaWriters;
  };
  std::unique_ptr<SimulatedSound> sound;

  // Gives the context the simulated sound card, paced by `pace`, hearing the context's card.
  void UseSimulatedSound(Clock& pace) {
    sound = std::make_unique<SimulatedSound>(
        pace, [this](KelmoSimCardState& s) { return ctx->card.QuerySimulatedCard(s); });
    ctx->waveInput = &sound->input;
    ctx->waveOutput = &sound->output;
    ctx->codecs = &sound->codecs;
    ctx->wmaWriters = &sound->wmaWriters;
  }

  void SetUp() override { ctx = MakeContext(); }

  // The simulated card beside the program, logging its bus to a file of this test's own.
  std::unique_ptr<KelmoContext> MakeContext() { return MakeContext(messages); }
  std::unique_ptr<KelmoContext> MakeContext(Messages& boxes) {
    auto c =
        std::make_unique<KelmoContext>(clock, boxes, power, shell, dataDir.path().toStdString());
    c->card.SetCandidates({KELMO_BUILD_DIR "/Btvid_32.so"});
    setenv("KELMO_I2C_LOG", I2cLogPath().c_str(), 1);
    unsetenv("KELMO_ANTENNA");
    return c;
  }

  std::string I2cLogPath() const { return dataDir.filePath("i2c.log").toStdString(); }

  // The simulated card's bus log.
  BusLog Bus() const { return BusLog(I2cLogPath()); }

  // Writes Channels.dat with these TV and FM channels (name, frequency).
  using Channels = std::vector<std::pair<std::string, std::string>>;
  void WriteChannelFile(const Channels& tv, const Channels& fm) {
    std::string bytes;
    for (const Channels* section : {&tv, &fm}) {
      bytes += U32(static_cast<uint32_t>(section->size()));
      for (const auto& [name, frequency] : *section) bytes += Record(name, frequency);
    }
    std::ofstream(dataDir.filePath("Channels.dat").toStdString(), std::ios::binary) << bytes;
  }

  void WriteSettings(const std::string& text) {
    std::ofstream(dataDir.filePath("config.dat").toStdString(), std::ios::binary) << text;
  }

  // The engine and the window over the context, as the composition and the application make them.
  void MakeWindow() {
    engine = std::make_unique<RecordingEngine>(*ctx);
    dlg = std::make_unique<CKelmoDlg>(*ctx, *engine);
  }

  // Opens the window, shown and active, as the application runs it.
  void Open() {
    app = std::make_unique<CKelmoApp>(*ctx);
    MakeWindow();
    app->SetMainWindow(dlg.get());
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }

  template <typename T>
  T* Find(const char* id) const {
    return dlg->findChild<T*>(id);
  }

  // Runs `act` on the modal dialog that the next command opens, `delayMs` after its loop starts.
  template <typename Dialog = QWidget>
  static void OnNextModal(std::type_identity_t<std::function<void(Dialog&)>> act, int delayMs = 0) {
    QTimer::singleShot(delayMs, [act] {
      auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      act(*d);
    });
  }

  // Closes and deletes the window (before its context may go).
  void CloseWindow() {
    if (dlg && !dlg->Destroyed()) dlg->CloseAsCloseBox();
    app.reset();  // stops routing keys before the window goes
    dlg.reset();
    engine.reset();
  }

  void TearDown() override { CloseWindow(); }
};

}  // namespace kelmo::test
