#include "capture/sim/TestPatternSource.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

#include "base/Log.h"
#include "capture/sim/PatternFont.h"

namespace kelmo {
namespace {

constexpr int64_t kStreamFailsAfterMs = 2000;
constexpr int kPollMs = 2;         // how often a wait looks at the clock again
constexpr uint64_t kBuffers = 4;   // pictures the device holds for a reader that is late
constexpr int kFieldHeight = 288;  // rows of one PAL field; taller pictures are two woven fields

// 75 % colour bars, left to right, as R, G, B.
constexpr uint8_t kBars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                 {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

uint8_t Clamp(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

int ControlValue(const std::vector<VideoControl>& controls, int id) {
  for (const VideoControl& c : controls)
    if (c.id == id) return c.value;
  return 0;
}

// A colour through the picture controls, as a decoder applies them to luma and chroma.
void Adjust(const uint8_t rgb[3], const std::vector<VideoControl>& controls, uint8_t out[3]) {
  const double r = rgb[0], g = rgb[1], b = rgb[2];
  double y = 0.299 * r + 0.587 * g + 0.114 * b;
  double u = (b - y) * 0.564, v = (r - y) * 0.713;
  y = y * ControlValue(controls, TestPatternSource::kContrast) / 64.0 +
      (ControlValue(controls, TestPatternSource::kBrightness) - 128);
  const double sat = ControlValue(controls, TestPatternSource::kSaturation) / 64.0;
  const double angle = ControlValue(controls, TestPatternSource::kHue) * M_PI / 128.0;
  const double u2 = (u * std::cos(angle) - v * std::sin(angle)) * sat;
  const double v2 = (u * std::sin(angle) + v * std::cos(angle)) * sat;
  out[2] = Clamp(y + 1.403 * v2);               // R
  out[1] = Clamp(y - 0.344 * u2 - 0.714 * v2);  // G
  out[0] = Clamp(y + 1.773 * u2);               // B
}

std::string FormatClock(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

TestPatternSwitches TestPatternSwitches::FromEnvironment() {
  TestPatternSwitches s;
  static constexpr std::pair<std::string_view, DeviceErrorKind> kOpenFaults[] = {
      {"open", DeviceErrorKind::Io},
      {"busy", DeviceErrorKind::Busy},
      {"missing", DeviceErrorKind::NotPresent},
      {"permission", DeviceErrorKind::Permission},
      {"format", DeviceErrorKind::FormatNotSupported}};
  if (const char* fail = std::getenv("KELMO_SIM_VIDEO_FAIL")) {
    for (const auto& [name, kind] : kOpenFaults)
      if (name == fail) s.openFault = kind;
    s.failStream = std::string_view(fail) == "stream";
  }
  if (const char* delay = std::getenv("KELMO_SIM_VIDEO_DELAY_MS"))
    s.delayMs = std::clamp(std::atoi(delay), 0, 10000);
  return s;
}

TestPatternSource::TestPatternSource(Clock& clock, CardQuery query, TestPatternSwitches switches)
    : clock(clock),
      query(std::move(query)),
      switches(switches),
      controls{{kBrightness, "Brightness", 0, 255, 1, 128, 128},
               {kContrast, "Contrast", 0, 127, 1, 64, 64},
               {kSaturation, "Saturation", 0, 127, 1, 64, 64},
               {kHue, "Hue", -128, 127, 1, 0, 0}} {}

DeviceError TestPatternSource::Open() {
  if (DeviceError e = DeviceError::OfKind(switches.openFault, kName); !e.ok()) return e;
  open = true;
  LogInfo("capture", "%s opened: input %d, %s %dx%d", kName, input,
          mode.format == PixelFormat::Yuyv ? "YUYV" : "BGR3", mode.width, mode.height);
  return DeviceError::Ok();
}

void TestPatternSource::Close() {
  StopStreaming();
  open = false;
}

std::vector<VideoMode> TestPatternSource::Modes() {
  return {{384, 288, PixelFormat::Bgr24},
          {384, 288, PixelFormat::Yuyv},
          {768, 576, PixelFormat::Bgr24},
          {768, 576, PixelFormat::Yuyv}};
}

VideoMode TestPatternSource::Mode() { return mode; }

DeviceError TestPatternSource::SetMode(const VideoMode& m) {
  // As a V4L2 driver: no change of format while the picture streams.
  if (streaming) return DeviceError::FromErrno(EBUSY, kName);
  const std::vector<VideoMode> offered = Modes();
  if (std::find(offered.begin(), offered.end(), m) == offered.end())
    return {DeviceErrorKind::FormatNotSupported, kName, "no such size and layout"};
  mode = m;
  return DeviceError::Ok();
}

std::vector<std::string> TestPatternSource::Inputs() { return {"Television", "Composite"}; }

int TestPatternSource::Input() { return input; }

DeviceError TestPatternSource::SetInput(int index) {
  if (streaming) return DeviceError::FromErrno(EBUSY, kName);
  if (index < 0 || index > 1) return DeviceError::FromErrno(EINVAL, kName);
  input = index;
  return DeviceError::Ok();
}

std::vector<VideoControl> TestPatternSource::Controls() {
  std::lock_guard lock(mutex);
  return controls;
}

DeviceError TestPatternSource::SetControl(int id, int value) {
  std::lock_guard lock(mutex);
  for (VideoControl& c : controls) {
    if (c.id != id) continue;
    c.value = std::clamp(value, c.minimum, c.maximum);
    return DeviceError::Ok();
  }
  return DeviceError::FromErrno(EINVAL, kName);
}

void TestPatternSource::SetFrameInterval(uint32_t microSeconds) {
  intervalUs = std::clamp<uint32_t>(microSeconds, 1000, 1000000);
}

DeviceError TestPatternSource::StartStreaming() {
  if (!open) return {DeviceErrorKind::Io, kName, "not open"};
  streaming = true;
  startMs = readyMs = clock.MonotonicMilliseconds();
  delivered = 0;
  LogInfo("capture", "%s streams: input %d, %s %dx%d, frame interval %u us", kName, input,
          mode.format == PixelFormat::Yuyv ? "YUYV" : "BGR3", mode.width, mode.height, intervalUs);
  return DeviceError::Ok();
}

void TestPatternSource::StopStreaming() { streaming = false; }

bool TestPatternSource::NextFrame(VideoFrame& frame, int timeoutMs, DeviceError& error) {
  error = DeviceError::Ok();
  if (!streaming) {
    error = {DeviceErrorKind::Io, kName, "not streaming"};
    return false;
  }
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const int64_t due = startMs + static_cast<int64_t>(delivered * intervalUs / 1000);
  const int64_t ready = std::max(due, readyMs) + switches.delayMs;
  int64_t now = clock.MonotonicMilliseconds();
  while (now < ready) {
    if (std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    now = clock.MonotonicMilliseconds();
  }
  if (switches.failStream && now - startMs >= kStreamFailsAfterMs) {
    streaming = false;
    error = {DeviceErrorKind::Io, kName,
             "the picture stream stopped (KELMO_SIM_VIDEO_FAIL=stream): Input/output error"};
    LogError("capture", "%s: the picture stream stopped", kName);
    return false;
  }
  // A reader that fell behind gets the pictures still in the device's buffers; older ones are
  // overwritten, as on a device with kBuffers buffers.
  const uint64_t newest = static_cast<uint64_t>(now - startMs) * 1000 / intervalUs;
  const uint64_t sequence = newest >= delivered + kBuffers ? newest - kBuffers + 1 : delivered;
  readyMs = ready;
  delivered = sequence + 1;
  Render(frame, sequence);
  return true;
}

void TestPatternSource::DrawBars(VideoFrame& bgr) const {
  uint8_t colours[8][3];
  for (int i = 0; i < 8; ++i) Adjust(kBars[i], controls, colours[i]);
  std::vector<uint8_t> row(bgr.Stride());
  for (int x = 0; x < bgr.width; ++x)
    std::memcpy(&row[static_cast<std::size_t>(x) * 3], colours[x * 8 / bgr.width], 3);
  for (int y = 0; y < bgr.height; ++y)
    std::memcpy(bgr.data.data() + static_cast<std::size_t>(y) * row.size(), row.data(), row.size());
}

void TestPatternSource::DrawSnow(VideoFrame& bgr, uint64_t sequence) const {
  uint8_t levels[256];
  for (int v = 0; v < 256; ++v) {
    const uint8_t grey[3] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v),
                             static_cast<uint8_t>(v)};
    uint8_t out[3];
    Adjust(grey, controls, out);
    levels[v] = out[1];
  }
  uint64_t state = sequence * 0x9E3779B97F4A7C15ull + 1;
  uint8_t* p = bgr.data.data();
  for (std::size_t i = 0; i < bgr.data.size(); i += 3) {
    state ^= state << 13;  // xorshift: fast, and different every frame
    state ^= state >> 7;
    state ^= state << 17;
    p[i] = p[i + 1] = p[i + 2] = levels[state & 0xFF];
  }
}

void TestPatternSource::DrawSweep(VideoFrame& bgr, uint64_t sequence) const {
  // A white block crossing the lower picture. A full-height picture is two fields taken half a
  // frame apart, top field first, as a card weaves them: the block stands further on in the odd
  // rows, so its edges comb. A half-height picture is a single field.
  const int block = std::max(8, bgr.width / 16);
  const int step = std::max(2, bgr.width / 64);  // per field
  const int travel = bgr.width - block;
  const bool woven = bgr.height > kFieldHeight;
  const int top = bgr.height * 3 / 4;
  const int bottom = bgr.height * 7 / 8;
  for (int y = top; y < bottom; ++y) {
    const uint64_t field = sequence * 2 + (woven ? static_cast<uint64_t>(y & 1) : 0);
    const int x =
        static_cast<int>(field * static_cast<uint64_t>(step) % static_cast<uint64_t>(travel));
    std::memset(bgr.data.data() + static_cast<std::size_t>(y) * bgr.Stride() +
                    static_cast<std::size_t>(x) * 3,
                235, static_cast<std::size_t>(block) * 3);
  }
}

void TestPatternSource::Render(VideoFrame& frame, uint64_t sequence) {
  KelmoSimCardState card{};
  const bool received = input == 0 && query && query(card) && card.band == KELMO_SIM_BAND_TV &&
                        card.stationFound != 0;
  canvas.Resize(mode.width, mode.height, PixelFormat::Bgr24);
  {
    std::lock_guard lock(mutex);
    if (received) {
      DrawBars(canvas);
      DrawSweep(canvas, sequence);
    } else
      DrawSnow(canvas, sequence);
  }
  if (received) {
    static constexpr uint8_t kWhite[3] = {235, 235, 235};
    const int scale = std::max(1, mode.height / 96);
    const std::string clockText = FormatClock(clock.ToLocal(clock.Now()));
    DrawText(canvas, card.stationName, (mode.width - TextWidth(card.stationName, scale)) / 2,
             mode.height / 3, scale, kWhite);
    DrawText(canvas, clockText, (mode.width - TextWidth(clockText, scale)) / 2, mode.height * 2 / 3,
             scale, kWhite);
  }
  frame.sequence = sequence;
  if (mode.format == PixelFormat::Bgr24) {
    frame.width = canvas.width;
    frame.height = canvas.height;
    frame.format = canvas.format;
    frame.data = canvas.data;
    return;
  }
  frame.Resize(mode.width, mode.height, PixelFormat::Yuyv);
  BgrToYuyv(canvas.data, frame.data, mode.width, mode.height);
}

}  // namespace kelmo
