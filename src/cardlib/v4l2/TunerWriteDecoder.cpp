#include "cardlib/v4l2/TunerWriteDecoder.h"

namespace kelmo::v4l2card {

namespace {

constexpr uint8_t kFmControl = 0x88;
constexpr int64_t kFmStepHz = 50'000;
constexpr int64_t kFmIfHz = 10'700'000;
constexpr int64_t kTvStepHz = 62'500;
constexpr int64_t kTvIfSteps = 623;  // 38.9375 MHz

bool IsTunerWriteAddress(uint8_t a) { return a >= 0xC0 && a <= 0xC6 && (a & 1) == 0; }

}  // namespace

std::optional<TunerRequest> DecodeTunerWrite(std::span<const uint8_t> bytes) {
  if (bytes.size() < 5 || !IsTunerWriteAddress(bytes[0])) return std::nullopt;
  const int64_t divider = (int64_t{bytes[1]} << 8) | bytes[2];
  TunerRequest request;
  request.fm = bytes[3] == kFmControl;
  request.hz = request.fm ? divider * kFmStepHz - kFmIfHz : (divider - kTvIfSteps) * kTvStepHz;
  if (request.hz < 0) return std::nullopt;
  return request;
}

uint32_t ToV4l2Frequency(int64_t hz, bool capLow) {
  // 62.5 Hz is 1/16 kHz, 62.5 kHz is 1/16 MHz.
  const int64_t unit = capLow ? 1'000 : 1'000'000;
  return static_cast<uint32_t>((hz * 16 + unit / 2) / unit);
}

}  // namespace kelmo::v4l2card
