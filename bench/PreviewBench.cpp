// The live picture: the 768 x 576 test pattern at 25 frames/s, deinterlaced with bwdif, shown in a
// 1024 x 768 window on a private Xvfb display.
//   BENCH preview.cpu_vs_ffplay <ratio> x: the CPU time of the kelmo program showing it (with the
//     simulated card on a TV station) over the run, divided by that of ffplay showing a 768 x 576
//     25 frames/s test source through the same filter in a 1024 x 768 window, in the same run.
//   BENCH preview.latency_p95 <ms> ms: from a frame's arrival from the source to the paint that
//     shows it, 95th percentile, through the same picture widget and deinterlacer in this process.
// The duration is the first argument or KELMO_BENCH_PREVIEW_SECONDS, 20 seconds by default.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "SimTelevision.h"
#include "app/ProfileBlock.h"
#include "capture/AviWriter.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureEngine.h"
#include "capture/linux/AvDeinterlacer.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "capture/qt/CapturePicture.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/linux/SystemClock.h"

extern char** environ;

namespace {

constexpr int kWarmUpSeconds = 3;

using kelmo::bench::TvStation;

std::vector<uint8_t> Yuy2Format(int width, int height) {
  kelmo::BitmapInfoHeader h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = 16;
  h.biCompression = kelmo::kFourccYuy2;
  h.biSizeImage = static_cast<uint32_t>(width * height * 2);
  return h.ToBytes();
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&quiet);
  return pid;
}

void End(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
}

// User and system CPU seconds of a running process, from /proc; negative once it has gone.
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::vector<std::string> fields;
  std::size_t at = close + 2;
  while (at < text.size()) {
    const std::size_t end = text.find(' ', at);
    fields.push_back(text.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  if (fields.size() < 13) return -1;  // utime and stime are fields 14 and 15 of the line
  return (std::stod(fields[11]) + std::stod(fields[12])) /
         static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds `args` takes over `seconds` after a warm-up; negative when it did not run.
double CpuOver(const std::vector<std::string>& args, int seconds) {
  const pid_t pid = Spawn(args);
  if (pid <= 0) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(kWarmUpSeconds));
  const double start = ProcessCpuSeconds(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double end = ProcessCpuSeconds(pid);
  End(pid);
  return start < 0 || end < 0 ? -1 : end - start;
}

// A data folder where kelmo starts on a TV station with the 768 x 576 format, deinterlaced.
std::filesystem::path KelmoDataFolder() {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("kelmo-bench-preview-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "config.dat")
      << "[General]\nTV=1\nChannel=0\n[Video]\nDeinterlace=1\nVideoFormat="
      << kelmo::EncodeProfileBlock(Yuy2Format(768, 576)) << "\n";
  const std::string name = "Uno", frequency = "48.25";
  auto u32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::ofstream(dir / "Channels.dat", std::ios::binary)
      << u32(1) + u32(static_cast<uint32_t>(name.size())) + name +
             u32(static_cast<uint32_t>(frequency.size())) + frequency + u32(0);
  return dir;
}

// The 95th percentile of the paint latencies in milliseconds, over `seconds` of live picture.
double LatencyP95(int seconds) {
  int argc = 1;
  char name[] = "bench_preview";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  kelmo::CapturePicture picture;
  picture.resize(1024, 768);
  picture.show();
  kelmo::AvDeinterlacer deinterlacer;
  picture.SetDeinterlacer(&deinterlacer);
  picture.SetDeinterlacing(true);
  std::vector<double> latencies;
  picture.onPainted = [&](std::chrono::microseconds latency) {
    latencies.push_back(static_cast<double>(latency.count()) / 1000.0);
  };
  kelmo::SystemClock clock;
  kelmo::TestPatternCatalog catalog(clock, TvStation);
  kelmo::FfmpegAviWriterFactory writers;
  kelmo::CaptureEngine window({catalog, writers, clock, nullptr, &picture, nullptr});
  if (!window.DriverConnect(0).ok() || !window.SetVideoFormat(Yuy2Format(768, 576)).ok()) return -1;
  window.SetPreviewRate(40);
  window.SetPreview(true);
  QTimer::singleShot(kWarmUpSeconds * 1000, [&] { latencies.clear(); });
  QTimer::singleShot((kWarmUpSeconds + seconds) * 1000, &app, &QApplication::quit);
  app.exec();
  window.DriverDisconnect();
  if (latencies.empty()) return -1;
  std::sort(latencies.begin(), latencies.end());
  return latencies[latencies.size() * 95 / 100];
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = kelmo::bench::Duration(argc, argv, "KELMO_BENCH_PREVIEW_SECONDS", 20);
  int display = 90;
  while (std::filesystem::exists("/tmp/.X" + std::to_string(display) + "-lock")) ++display;
  const std::string name = ":" + std::to_string(display);
  const pid_t xvfb = Spawn({"Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  if (xvfb <= 0) {
    std::fprintf(stderr, "bench_preview: Xvfb did not start (scripts/install-deps)\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  setenv("DISPLAY", name.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("KELMO_INSTANCE", ("bench-preview-" + std::to_string(::getpid())).c_str(), 1);

  const auto data = KelmoDataFolder();
  const double kelmo = CpuOver(
      {KELMO_BUILD_DIR "/kelmo", "--sim", "--data-dir", data.string(), "-geometry", "1024x768+0+0"},
      seconds);
  const double ffplay =
      CpuOver({"ffplay", "-hide_banner", "-loglevel", "quiet", "-an", "-f", "lavfi", "-i",
               "testsrc2=size=768x576:rate=25", "-vf", "bwdif=mode=send_frame:parity=tff:deint=all",
               "-x", "1024", "-y", "768", "-left", "0", "-top", "0"},
              seconds);
  if (kelmo > 0 && ffplay > 0) {
    std::printf("BENCH preview.cpu_vs_ffplay %.2f x\n", kelmo / ffplay);
  } else {
    std::fprintf(stderr, "bench_preview: kelmo (%.2f s) or ffplay (%.2f s) did not run\n", kelmo,
                 ffplay);
  }
  const double p95 = LatencyP95(seconds);
  if (p95 >= 0) std::printf("BENCH preview.latency_p95 %.1f ms\n", p95);
  std::fflush(stdout);
  End(xvfb);
  std::filesystem::remove_all(data);
  return kelmo > 0 && ffplay > 0 && p95 >= 0 ? 0 : 1;
}
