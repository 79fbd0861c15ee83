// Television recording to AVI, Motion JPEG, HuffYUV and FFV1 at 384 x 288 and 768 x 576, 25
// frames/s.
//   Capture: the test pattern through the capture window with the simulated sound card, in real
//   time, for the set duration:   BENCH avi.<codec>.<size>.dropped <n> frames
//   Encoding: the same test-pattern frames (25 a second of the duration, written once to a raw
//   file) through our AVI writer as fast as it goes, and through the ffmpeg program from that raw
//   file with the same codec and settings in the same run:
//     BENCH avi.<codec>.<size>.realtime <frames encoded per second / 25> x
//     BENCH avi.<codec>.<size>.vs_ffmpeg <ffmpeg's time / ours> ratio
// Encoding times are CPU time of all threads (ours: this process; ffmpeg's: the child's), so a
// machine busy with other work does not count against either side. The duration is the first
// argument or KELMO_BENCH_CAPTURE_SECONDS, 60 seconds by default.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CpuTime.h"
#include "SimTelevision.h"
#include "audio/sim/SimWaveInput.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureEngine.h"
#include "capture/linux/FfmpegAviWriter.h"
#include "capture/sim/TestPatternCatalog.h"
#include "platform/linux/SystemClock.h"
#include "platform/sim/ManualClock.h"

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kRuns = 2;

struct Codec {
  const char* name;
  kelmo::VideoCodec codec;
  std::string ffmpegOptions;  // the encoder as our writer sets it up
};

using kelmo::bench::TvStation;

kelmo::VideoMode Mode(int width, int height) { return {width, height, kelmo::PixelFormat::Yuyv}; }

// Frames left empty in `seconds` of real-time capture; negative when the capture failed.
long CaptureDropped(const Codec& codec, const kelmo::VideoMode& mode, int seconds,
                    const std::filesystem::path& file) {
  kelmo::SystemClock clock;
  kelmo::TestPatternCatalog catalog(clock, TvStation);
  kelmo::SimWaveInput sound(clock, TvStation);
  kelmo::FfmpegAviWriterFactory writers;
  kelmo::CaptureEngine window({catalog, writers, clock, &sound, nullptr, nullptr});
  std::filesystem::remove(file);  // a recording never replaces a file: the last run's goes first
  std::mutex mutex;
  std::string statistics;
  bool failed = false;
  window.SetCallbackStatus([&](int id, const std::string& text) {
    std::lock_guard lock(mutex);
    if (id == kelmo::kCapStatusStatsAudio) statistics = text;
    if (id == kelmo::kCapStatusStatsNoAudio) failed = true;  // the sound did not record
    return 1;
  });
  window.SetCallbackError([&](const std::string& text) {
    std::fprintf(stderr, "bench: %s\n", text.c_str());
    std::lock_guard lock(mutex);
    failed = true;
  });
  if (!window.DriverConnect(0).ok()) return -1;
  kelmo::BitmapInfoHeader header;
  header.biWidth = mode.width;
  header.biHeight = mode.height;
  header.biBitCount = kelmo::PixelFormatBitCount(mode.format);
  header.biCompression = kelmo::PixelFormatCompression(mode.format);
  if (!window.SetVideoFormat(header.ToBytes()).ok()) return -1;
  window.SetCompression({codec.codec, 0});
  kelmo::CaptureParms parms = window.GetSequenceSetup();
  parms.dwRequestMicroSecPerFrame = 1000000 / kFramesPerSecond;
  parms.fCaptureAudio = true;
  if (!window.SetSequenceSetup(parms)) return -1;
  window.FileSetCaptureFile(file.string());
  window.Sequence();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  window.Stop();
  std::lock_guard lock(mutex);
  // "... 1500 frames (3 dropped).  ... audio bytes"
  const std::size_t open = statistics.find(" frames (");
  if (failed || open == std::string::npos) return -1;
  return std::strtol(statistics.c_str() + open + 9, nullptr, 10);
}

// Writes `frames` pictures of the test pattern, one frame interval apart, to `raw`.
bool WriteRawFrames(const kelmo::VideoMode& mode, int frames, const std::filesystem::path& raw) {
  kelmo::ManualClock clock(1'800'000'000);
  kelmo::TestPatternSource source(clock, TvStation);
  kelmo::DeviceError error;
  if (!source.Open().ok() || !source.SetMode(mode).ok()) return false;
  source.SetFrameInterval(1000000 / kFramesPerSecond);
  if (!source.StartStreaming().ok()) return false;
  std::ofstream out(raw, std::ios::binary);
  kelmo::VideoFrame frame;
  for (int i = 0; i < frames; ++i) {
    if (i > 0) clock.AdvanceMilliseconds(1000 / kFramesPerSecond);
    if (!source.NextFrame(frame, 1000, error)) return false;
    out.write(reinterpret_cast<const char*>(frame.data.data()),
              static_cast<std::streamsize>(frame.data.size()));
  }
  source.StopStreaming();
  source.Close();
  return static_cast<bool>(out.flush());
}

// CPU seconds our AVI writer takes for the raw file's frames; negative when it fails.
double EncodeOurs(const Codec& codec, const kelmo::VideoMode& mode, int frames,
                  const std::filesystem::path& raw, const std::filesystem::path& file) {
  kelmo::FfmpegAviWriterFactory writers;
  const auto writer = writers.Make();
  std::filesystem::remove(file);  // a recording never replaces a file: the last run's goes first
  kelmo::AviSetup setup;
  setup.path = file.string();
  setup.video = mode;
  setup.microSecPerFrame = 1000000 / kFramesPerSecond;
  setup.compression = {codec.codec, 0};
  std::string error;
  std::ifstream in(raw, std::ios::binary);
  kelmo::VideoFrame frame;
  frame.Resize(mode.width, mode.height, mode.format);
  const double start = kelmo::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  bool ok = writer->Open(setup, error);
  for (int i = 0; ok && i < frames; ++i) {
    ok = static_cast<bool>(in.read(reinterpret_cast<char*>(frame.data.data()),
                                   static_cast<std::streamsize>(frame.data.size())));
    frame.sequence = static_cast<uint64_t>(i);
    ok = ok && writer->WriteVideo(frame, error);
  }
  ok = ok && writer->Close(error);
  const double seconds = kelmo::bench::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - start;
  if (!ok) std::fprintf(stderr, "bench: %s\n", error.empty() ? "short raw file" : error.c_str());
  return ok ? seconds : -1;
}

// CPU seconds the ffmpeg program takes for the same frames; negative when it fails.
double EncodeFfmpeg(const Codec& codec, const kelmo::VideoMode& mode,
                    const std::filesystem::path& raw, const std::filesystem::path& file) {
  const std::string command =
      "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt yuyv422 -video_size " +
      std::to_string(mode.width) + "x" + std::to_string(mode.height) + " -framerate " +
      std::to_string(kFramesPerSecond) + " -i '" + raw.string() + "' " + codec.ffmpegOptions +
      " '" + file.string() + "'";
  return kelmo::bench::CommandCpuSeconds(command);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = kelmo::bench::Duration(argc, argv, "KELMO_BENCH_CAPTURE_SECONDS", 60);
  const int frames = seconds * kFramesPerSecond;
  const auto dir =
      std::filesystem::temp_directory_path() / ("kelmo-bench-avi-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // Our writer feeds Motion JPEG full-range 4:2:2 at the default quantiser, HuffYUV 4:2:2 on one
  // thread, FFV1 4:2:2 as version 3 in twelve slices with their checksums, all converted with the
  // nearest-neighbour scaler, and never B-frames.
  const kelmo::VideoCompressionChoice mjpeg = kelmo::Normalised({kelmo::VideoCodec::MotionJpeg, 0});
  const std::vector<Codec> codecs{
      {"mjpeg", kelmo::VideoCodec::MotionJpeg,
       "-sws_flags neighbor -c:v mjpeg -pix_fmt yuvj422p -q:v " + std::to_string(mjpeg.quality)},
      {"huffyuv", kelmo::VideoCodec::HuffYuv,
       "-sws_flags neighbor -c:v huffyuv -pix_fmt yuv422p -threads 1"},
      {"ffv1", kelmo::VideoCodec::Ffv1,
       "-sws_flags neighbor -c:v ffv1 -pix_fmt yuv422p -level 3 -slices 12 -slicecrc 1"},
  };
  int status = 0;
  for (const auto& mode : {Mode(384, 288), Mode(768, 576)}) {
    const std::string size = std::to_string(mode.width) + "x" + std::to_string(mode.height);
    for (const Codec& codec : codecs) {
      const long dropped = CaptureDropped(codec, mode, seconds, dir / "capture.avi");
      if (dropped < 0) {
        std::fprintf(stderr, "bench: the %s %s capture failed\n", codec.name, size.c_str());
        status = 1;
        continue;
      }
      std::printf("BENCH avi.%s.%s.dropped %ld frames\n", codec.name, size.c_str(), dropped);
      std::fflush(stdout);
    }
    const auto raw = dir / "frames.raw";
    if (!WriteRawFrames(mode, frames, raw)) {
      std::fprintf(stderr, "bench: the test pattern's frames could not be written\n");
      status = 1;
      continue;
    }
    for (const Codec& codec : codecs) {
      // The best of a few runs each, so a moment of contention does not decide the figure.
      double ours = 1e9, reference = 1e9;
      for (int run = 0; run < kRuns && ours > 0 && reference > 0; ++run) {
        ours = std::min(ours, EncodeOurs(codec, mode, frames, raw, dir / "ours.avi"));
        reference = std::min(reference, EncodeFfmpeg(codec, mode, raw, dir / "ffmpeg.avi"));
      }
      if (ours <= 0 || reference <= 0) {
        std::fprintf(stderr, "bench: the %s %s encoding failed\n", codec.name, size.c_str());
        status = 1;
        continue;
      }
      std::printf("BENCH avi.%s.%s.realtime %.1f x\n", codec.name, size.c_str(),
                  frames / ours / kFramesPerSecond);
      std::printf("BENCH avi.%s.%s.vs_ffmpeg %.3f ratio\n", codec.name, size.c_str(),
                  reference / ours);
      std::fflush(stdout);
    }
    std::filesystem::remove(raw);
  }
  std::filesystem::remove_all(dir);
  return status;
}
