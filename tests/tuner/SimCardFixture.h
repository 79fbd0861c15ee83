#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/KelmoContext.h"
#include "capture/CardStartup.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/RecordingPower.h"
#include "support/BusLog.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace kelmo::test {

// A context whose card is the simulated Btvid_32.so of the build, loaded for real, logging its bus
// into a file of the test's own temporary folder. KELMO_ANTENNA is unset (the built-in antenna)
// unless a test writes its own antenna and calls Restart.
class SimCardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KELMO_I2C_LOG", logPath.c_str(), 1);
    unsetenv("KELMO_ANTENNA");
    context = std::make_unique<KelmoContext>(clock, messages, power, shell, dir);
    UseLibrary(KELMO_BUILD_DIR "/Btvid_32.so");
  }

  void TearDown() override {
    context.reset();
    unsetenv("KELMO_I2C_LOG");
    unsetenv("KELMO_ANTENNA");
  }

  // Loads `path` as the card library, as the program's start-up does.
  void UseLibrary(const std::string& path) {
    context->card.SetCandidates({path});
    context->cardStartup.StartCard();
  }

  // Starts the card again with an antenna file of these lines.
  void UseAntenna(const std::string& lines) {
    const std::filesystem::path antenna = dir / "antenna.txt";
    std::ofstream(antenna) << lines;
    setenv("KELMO_ANTENNA", antenna.c_str(), 1);
    context->cardStartup.StopCard();
    context->cardStartup.StartCard();
    ClearLog();
  }

  std::vector<std::string> Log() const { return BusLog(logPath).Lines(); }
  // The last tuner write ("W ..."), or "" when there was none.
  std::string LastWrite() const { return BusLog(logPath).Last("W "); }
  int WriteCount() const { return BusLog(logPath).Writes(); }
  void ClearLog() const { BusLog(logPath).Clear(); }

  ManualClock clock;
  RecordingMessages messages;
  RecordingPower power;
  RecordingShell shell;
  TempDir temp;
  std::filesystem::path dir = temp.Path();
  std::filesystem::path logPath = dir / "i2c.log";
  std::unique_ptr<KelmoContext> context;
};

}  // namespace kelmo::test
