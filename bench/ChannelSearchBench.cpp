// The automatic TV and FM searches through the channel dialogs, on the simulated card with its
// built-in antenna, through the real waits: each proposal is answered "No Add Channel" at once.
// The floor is what the search cannot go below: the waits it asks for plus the tuner's protocol
// pauses (each counted by the clock as the card library asks for it).

#include <stdlib.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/KelmoContext.h"
#include "app/qt/DialogPorts.h"
#include "cardlib/sim/Antenna.h"
#include "channels/BandRaster.h"
#include "channels/qt/CAddChannelDlg.h"
#include "channels/qt/CRadioChannelsDlg.h"
#include "channels/qt/CTvChannelsDlg.h"
#include "platform/linux/SystemClock.h"
#include "platform/sim/RecordingPower.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

// The system clock, adding up the pauses asked of it.
class CountingClock final : public Clock {
 public:
  int64_t Now() const override { return clock.Now(); }
  int64_t MonotonicMilliseconds() const override { return clock.MonotonicMilliseconds(); }
  LocalTime ToLocal(int64_t instant) const override { return clock.ToLocal(instant); }
  int64_t FromLocal(const LocalTime& local) const override { return clock.FromLocal(local); }
  void Sleep(int milliseconds) override {
    slept += milliseconds;
    clock.Sleep(milliseconds);
  }
  std::atomic<int64_t> slept{0};

 private:
  SystemClock clock;
};

// Answers every Add Channel box with "No Add Channel" as soon as it shows.
class NoAddAnswerer : public QObject {
 public:
  explicit NoAddAnswerer(CAddChannelDlg* box) : box(box) { box->installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == box && event->type() == QEvent::Show) {
      ++proposals;
      QTimer::singleShot(0, box, [this] { box->OnNoAddChannel(); });
    }
    return false;
  }
  CAddChannelDlg* box;
  int proposals = 0;
};

// The antenna's stations that lie on the search's candidates.
int Expected(const std::vector<simcard::Station>& stations, bool tv) {
  int n = 0;
  for (const simcard::Station& s : stations) {
    const int total = tv ? kTvSearchCount : kFmSearchCount;
    for (int i = 0; i < total; ++i) {
      const double mhz =
          tv ? TvSearchFrequencies()[static_cast<std::size_t>(i)] : PositionMhz(kFmRaster, i);
      if (std::llabs(std::llround(mhz * 1e6) - s.hz) < 1000) {
        ++n;
        break;
      }
    }
  }
  return n;
}

void Run(CountingClock& clock, ChannelsDialog& dlg, const char* name, int expected) {
  dlg.show();
  NoAddAnswerer answerer(dlg.AddChannelDlg());
  QEventLoop loop;
  QObject::connect(&dlg, &ChannelsDialog::searchFinished, &loop, &QEventLoop::quit);
  clock.slept = 0;
  const auto start = std::chrono::steady_clock::now();
  QTimer::singleShot(0, &dlg, [&dlg] { dlg.OnStartAutodetection(); });
  loop.exec();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const double floor = static_cast<double>(dlg.Search().WaitedMs() + clock.slept) / 1000.0;
  std::printf("BENCH search.%s.seconds %.3f s\n", name, took.count());
  std::printf("BENCH search.%s.floor_seconds %.3f s\n", name, floor);
  std::printf("BENCH search.%s.found %d stations\n", name, answerer.proposals);
  std::printf("BENCH search.%s.expected %d stations\n", name, expected);
  std::fflush(stdout);
  dlg.reject();
}

}  // namespace
}  // namespace kelmo

int main(int argc, char** argv) {
  using namespace kelmo;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  unsetenv("KELMO_ANTENNA");
  unsetenv("KELMO_I2C_LOG");
  unsetenv("KELMO_SIM_FADE");
  QApplication app(argc, argv);
  test::TempDir dir;
  CountingClock clock;
  test::RecordingMessages messages;
  RecordingPower power;
  test::RecordingShell shell;
  KelmoContext ctx(clock, messages, power, shell, dir.Path());
  ctx.card.SetCandidates({KELMO_BUILD_DIR "/Btvid_32.so"});
  ctx.cardStartup.StartCard();
  if (!ctx.card.IsLoaded()) {
    std::fprintf(stderr, "bench_channel_search: the simulated card did not load\n");
    return 1;
  }
  const simcard::Antenna antenna = simcard::DefaultAntenna();
  {
    CTvChannelsDlg tv(ChannelDialogPortsOf(ctx));
    Run(clock, tv, "tv", Expected(antenna.tv, true));
  }
  {
    CRadioChannelsDlg fm(ChannelDialogPortsOf(ctx));
    Run(clock, fm, "fm", Expected(antenna.fm, false));
  }
  ctx.cardStartup.StopCard();
  return 0;
}
