#include "capture/CaptureFormatView.h"

#include <filesystem>

#include "audio/WaveFormat.h"
#include "capture/BitmapInfoHeader.h"

namespace kelmo {
namespace {

// The seven values of a stored format; a block shorter than 18 bytes gives none.
std::optional<WaveFormatEx> Read(const std::vector<uint8_t>& block) {
  return WaveFormatEx::FromBytes(block);
}

void WaveRows(std::map<int, std::string>& texts, bool set, const std::string& name,
              const std::vector<uint8_t>& block, const int ids[5]) {
  const auto f = set ? Read(block) : std::nullopt;
  if (!f) {
    texts[ids[0]] = "Not Set!!!";
    for (int i = 1; i < 5; ++i) texts[ids[i]] = "";
    return;
  }
  texts[ids[0]] = name;
  texts[ids[1]] = ChannelsText(f->nChannels);
  texts[ids[2]] = std::to_string(f->nSamplesPerSec);
  texts[ids[3]] = std::to_string(f->nAvgBytesPerSec);
  texts[ids[4]] = std::to_string(f->wBitsPerSample);
}

}  // namespace

std::string ChannelsText(int channels) {
  return std::to_string(channels) + (channels == 1 ? " (Mono)" : " (Stereo)");
}

std::map<int, std::string> ViewCaptureFormatTexts(const AudioFormatSettings& formats,
                                                  CaptureDriver& capture) {
  std::map<int, std::string> texts;
  // The last recording's file, while it is there: a name built for a recording that never ran
  // (or a file since deleted) would point at nothing.
  std::error_code error;
  if (!capture.captureFileName.empty() && std::filesystem::exists(capture.captureFileName, error))
    texts[1005] = capture.captureFileName;
  static constexpr int kInput[5] = {1006, 1008, 1009, 1010, 1012};
  static constexpr int kCompression[5] = {1014, 1016, 1017, 1018, 1020};
  WaveRows(texts, formats.inputFormatSet != 0, formats.inputFormatName, formats.inputFormat,
           kInput);
  WaveRows(texts, formats.compressionFormatSet != 0, formats.compressionFormatName,
           formats.compressionFormat, kCompression);
  // A WMA file is encoded as its options say, not at the chooser's nominal rate.
  if (formats.compressionFormatSet != 0 && formats.wmaOutput != 0 && formats.wmaBitrate > 0) {
    texts[kCompression[1]] = ChannelsText(formats.wmaChannels);
    texts[kCompression[2]] = std::to_string(formats.wmaSampleRate);
    texts[kCompression[3]] = std::to_string(formats.wmaBitrate / 8);
  }
  CaptureWindow* window = capture.Window();
  if (capture.aviAudioFormatSet != 0 && window != nullptr) {
    std::vector<uint8_t> block(window->GetAudioFormatSize());
    block.resize(window->GetAudioFormat(block.data(), static_cast<uint32_t>(block.size())));
    // A format shorter than its 18 bytes reads as far as it goes, without extra bytes.
    block.resize(std::max<std::size_t>(block.size(), WaveFormatEx::kBaseSize));
    if (block.size() >= WaveFormatEx::kBaseSize) block[16] = block[17] = 0;
    const auto f = WaveFormatEx::FromBytes(block);
    texts[1007] = capture.aviAudioFormat.formatName;
    if (f) {
      texts[1011] = ChannelsText(f->nChannels);
      texts[1013] = std::to_string(f->nSamplesPerSec);
      texts[1015] = std::to_string(f->wBitsPerSample);
    }
  }
  if (capture.videoFormatSet != 0 && window != nullptr) {
    std::vector<uint8_t> block(window->GetVideoFormatSize());
    block.resize(window->GetVideoFormat(block.data(), static_cast<uint32_t>(block.size())));
    if (const auto h = BitmapInfoHeader::FromBytes(block)) {
      texts[1019] = std::to_string(h->biWidth) + "x" + std::to_string(h->biHeight);
      texts[1021] = std::to_string(h->biBitCount) + " bits";
    }
  }
  return texts;
}

}  // namespace kelmo
