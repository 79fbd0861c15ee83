// A day of unattended recording against the real clock: the ten programs of the end-to-end test
// (FM and TV in turn, two overlapping, one whose end has passed when it is armed) through the
// program's recording pieces on the simulated card, sound and picture, the timer ticking once a
// second. Prints how many programs were recorded, the worst start delay and span error, and the
// growth of resident memory from the end of the first program to the end of the last.
//
// soak_programs [minutes]: the whole day's length, 20 by default; 2 is a quick run.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/RecordingStation.h"
#include "platform/linux/LargeBuffers.h"
#include "platform/linux/SystemClock.h"
#include "support/MediaProbe.h"
#include "support/TempDir.h"

namespace kelmo {
namespace {

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// One recording as it ran: when it could start (its start, or the tick that armed it after the
// one before), when it did, and its file.
struct Run {
  int64_t mayStartMs = 0;
  int64_t startedMs = 0;
  std::string file;
};

int Soak(int minutes) {
  ReturnLargeBuffersToTheSystem();  // as the program does at its start
  SystemClock clock;
  test::TempDir data;
  test::TempDir recordings;
  auto station = std::make_unique<test::RecordingStation>(clock, data.Path(),
                                                          recordings.Path().string() + "/");
  const int32_t slot = std::max(12, minutes * 60 / 10);
  const std::vector<test::DayProgram> day = test::TenPrograms(clock.Now() + 3, slot);
  station->Schedule(day, true, 10);

  std::vector<Run> runs;
  long firstDoneKiB = 0;
  int64_t armedMs = 0;
  int32_t count = station->ctx.programs.programCount;
  const int64_t giveUpMs = (day.back().End() + 30) * 1000;
  // The timer: once a second, a little after the second begins, as a desktop timer fires.
  int64_t nextMs = (WallMs() / 1000 + 1) * 1000 + 50;
  while (station->view.shutdowns == 0 && WallMs() < giveUpMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(nextMs - WallMs()));
    nextMs += 1000;
    const std::string named = station->ctx.capture.captureFileName;
    station->Tick();
    const int64_t now = WallMs();
    // Every start names a new file; a program whose end has passed may start and stop within one
    // tick.
    std::string file = station->ctx.capture.captureFileName;
    if (file != named && runs.size() < day.size()) {
      const test::DayProgram& p = day[runs.size()];
      if (!p.tv) file.replace(file.size() - 3, 3, "wav");
      runs.push_back({std::max(p.start * 1000, armedMs), now, file});
    }
    const int32_t left = station->ctx.programs.programCount;
    if (left < count) {
      armedMs = now;
      if (firstDoneKiB == 0) firstDoneKiB = ResidentKiB();
    }
    count = left;
  }
  const long endKiB = ResidentKiB();
  for (const std::string& text : station->messages.Texts())
    std::fprintf(stderr, "message: %s\n", text.c_str());
  station.reset();

  const std::vector<int64_t> spans = test::ExpectedSpans(day);
  int recorded = 0;
  double worstDelay = 0;
  double worstSpanError = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Run& r = runs[i];
    if (test::ProbeAudio(r.file).codec.empty()) {
      std::fprintf(stderr, "program %zu: %s is not readable\n", i + 1, r.file.c_str());
      continue;
    }
    ++recorded;
    const double seconds = static_cast<double>(test::DecodeMono(r.file, 22050).size()) / 22050;
    const double delay = static_cast<double>(r.startedMs - r.mayStartMs) / 1000;
    // What is left of its own span when it could start.
    const double expected =
        std::max(1.0, static_cast<double>(day[i].End() * 1000 - r.mayStartMs) / 1000);
    worstDelay = std::max(worstDelay, delay);
    worstSpanError = std::max(worstSpanError, std::fabs(seconds - expected));
    std::fprintf(stderr, "program %zu: %s %.2f s (planned %lld s), started %.2f s late\n", i + 1,
                 r.file.c_str(), seconds, static_cast<long long>(spans[i]), delay);
  }
  std::printf("BENCH soak.programs_recorded %d programs\n", recorded);
  std::printf("BENCH soak.max_start_delay %.2f s\n", worstDelay);
  std::printf("BENCH soak.max_span_error %.2f s\n", worstSpanError);
  std::printf("BENCH soak.rss_growth %ld KiB\n", endKiB - firstDoneKiB);
  return recorded == static_cast<int>(day.size()) ? 0 : 1;
}

}  // namespace
}  // namespace kelmo

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 20;
  return kelmo::Soak(minutes > 0 ? minutes : 20);
}
