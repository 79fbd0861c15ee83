#include "schedule/RecordingSpace.h"

#include "base/Log.h"
#include "base/RecordingHealth.h"
#include "capture/BitmapInfoHeader.h"

namespace kelmo {

namespace {

uint64_t VideoBytesPerSecond(int frameRate, CaptureDriver& capture) {
  CaptureWindow* window = capture.Window();
  if (window == nullptr) return 0;
  std::vector<uint8_t> block(window->GetVideoFormatSize());
  block.resize(window->GetVideoFormat(block.data(), static_cast<uint32_t>(block.size())));
  const auto header = BitmapInfoHeader::FromBytes(block);
  if (!header || header->biWidth <= 0) return 0;
  const uint64_t raw =
      static_cast<uint64_t>(header->biWidth) *
      static_cast<uint64_t>(header->biHeight < 0 ? -header->biHeight : header->biHeight) *
      header->biBitCount / 8;
  const VideoCodecInfo& codec = CodecInfo(window->GetCompression().codec);
  return raw * static_cast<uint64_t>(frameRate > 0 ? frameRate : 25) *
         static_cast<uint64_t>(codec.keptPercent) / 100;
}

}  // namespace

uint64_t RecordingBytesPerSecond(bool tv, int frameRate, CaptureDriver& capture,
                                 const AudioFormatSettings& formats) {
  if (tv) {
    return VideoBytesPerSecond(frameRate, capture) + capture.aviAudioFormat.format.nAvgBytesPerSec;
  }
  if (formats.wmaOutput == 1)
    return static_cast<uint64_t>(formats.wmaBitrate > 0 ? formats.wmaBitrate : 0) / 8;
  const auto out = WaveFormatEx::FromBytes(formats.compressionFormat);
  return out ? out->nAvgBytesPerSec : 0;
}

std::optional<std::string> RoomShortfall(const std::string& folder, uint64_t bytes,
                                         std::optional<uint64_t> freeBytes) {
  if (!freeBytes || bytes <= *freeBytes) return std::nullopt;
  return "There is not enough room for the recording: it needs about " + FormatBytes(bytes) +
         " and " + folder + " has " + FormatBytes(*freeBytes) +
         " free. Make room, or the recording will stop when the disk is full.";
}

std::optional<std::string> CheckRoomForRecording(const std::string& saveDir, bool tv, int frameRate,
                                                 int64_t seconds, CaptureDriver& capture,
                                                 const AudioFormatSettings& formats) {
  // A program whose span is already over when it starts (seen after a restart) needs no room.
  const uint64_t bytes = RecordingBytesPerSecond(tv, frameRate, capture, formats) *
                         static_cast<uint64_t>(seconds > 0 ? seconds : 0);
  auto text = RoomShortfall(saveDir, bytes, FreeDiskBytes(saveDir));
  if (text) LogWarning("schedule", "%s", text->c_str());
  return text;
}

void WarnIfScheduleHasNoRoom(const RecordingProgramTable& table, const std::string& saveDir,
                             CaptureDriver& capture, const AudioFormatSettings& formats,
                             Messages& messages) {
  uint64_t bytes = 0;
  for (int32_t i = 0; i < table.programCount; ++i) {
    const RecordingProgram& p = table.programs[static_cast<std::size_t>(i)];
    if (p.armed == 0) continue;
    bytes += RecordingBytesPerSecond(p.isTv != 0, p.frameRate, capture, formats) *
             static_cast<uint64_t>(p.durationSeconds > 0 ? p.durationSeconds : 0);
  }
  if (const auto text = RoomShortfall(saveDir, bytes, FreeDiskBytes(saveDir))) {
    LogWarning("schedule", "%s", text->c_str());
    messages.Show(*text);
  }
}

}  // namespace kelmo
