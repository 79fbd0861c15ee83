#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/VideoSource.h"
#include "cardlib/CardLibraryAbi.h"
#include "platform/Clock.h"

namespace kelmo {

// Fault switches of the test pattern, from the environment.
struct TestPatternSwitches {
  // KELMO_SIM_VIDEO_FAIL=open (an I/O error), busy, missing, permission or format: the device
  // cannot be opened, for that cause.
  DeviceErrorKind openFault = DeviceErrorKind::None;
  bool failStream = false;  // KELMO_SIM_VIDEO_FAIL=stream: the stream stops after two seconds
  int delayMs = 0;          // KELMO_SIM_VIDEO_DELAY_MS=N: each frame takes N ms to produce

  static TestPatternSwitches FromEnvironment();
};

// "Kelmo Test Pattern": a model of a TV capture device that shows what the simulated card
// receives. On a TV station, colour bars with the station's name, a running clock and a moving
// block (interlaced at full height, as a card's picture is); anywhere
// else (FM, between stations, no simulated card) moving snow. Paced by the clock: frame n of a
// stream is due n frame intervals after the stream started, in real time with the system clock
// and as a test advances the manual clock. Offers overlay, two inputs, four picture controls and
// 384 x 288 and 768 x 576 in RGB24 and YUY2.
class TestPatternSource final : public VideoSource {
 public:
  static constexpr const char* kName = "Kelmo Test Pattern";
  static constexpr const char* kVersion = "1.0";

  // `query` asks what the simulated card receives; false when no simulated card answers.
  using CardQuery = std::function<bool(KelmoSimCardState&)>;

  TestPatternSource(Clock& clock, CardQuery query, TestPatternSwitches switches = {});

  std::string DevicePath() const override { return {}; }
  DeviceError Open() override;
  void Close() override;
  std::vector<VideoMode> Modes() override;
  VideoMode Mode() override;
  DeviceError SetMode(const VideoMode& mode) override;
  std::vector<std::string> Inputs() override;
  int Input() override;
  DeviceError SetInput(int index) override;
  std::vector<VideoControl> Controls() override;
  DeviceError SetControl(int id, int value) override;
  void SetFrameInterval(uint32_t microSeconds) override;
  bool HasOverlay() const override { return true; }
  DeviceError StartStreaming() override;
  void StopStreaming() override;
  bool NextFrame(VideoFrame& frame, int timeoutMs, DeviceError& error) override;

  enum ControlId { kBrightness = 1, kContrast, kSaturation, kHue };

 private:
  void Render(VideoFrame& frame, uint64_t sequence);
  void DrawBars(VideoFrame& bgr) const;
  void DrawSnow(VideoFrame& bgr, uint64_t sequence) const;
  void DrawSweep(VideoFrame& bgr, uint64_t sequence) const;

  Clock& clock;
  CardQuery query;
  TestPatternSwitches switches;

  std::mutex mutex;  // the controls, changed while the stream runs
  bool open = false;
  // Set and cleared on the reading thread; the owner changes the input and the format only
  // after that thread has ended, and reads it then.
  bool streaming = false;
  VideoMode mode{384, 288, PixelFormat::Bgr24};
  int input = 0;
  std::vector<VideoControl> controls;
  uint32_t intervalUs = 40000;
  int64_t startMs = 0;
  int64_t readyMs = 0;  // when the last frame was finished (the production delay counts from it)
  uint64_t delivered = 0;
  VideoFrame canvas;  // the picture drawn in BGR before any conversion
};

}  // namespace kelmo
