#include "app/Settings.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/ProfileBlock.h"
#include "app/ProfileFile.h"
#include "app/ScheduleSettings.h"
#include "audio/AcmFormatTable.h"
#include "audio/WaveFormat.h"
#include "base/Log.h"
#include "capture/BitmapInfoHeader.h"
#include "capture/CaptureFileName.h"
#include "tuner/TunerParams.h"

namespace kelmo {

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kVideo = "Video";
constexpr const char* kAudio = "Audio";

constexpr int32_t kDefaultTuner = 2;
constexpr int32_t kDefaultFrameRate = 25;

std::string WithTrailingSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

int32_t Flag(int32_t value) { return value != 0 ? 1 : 0; }

// A stored audio format block, when it is one.
std::optional<std::vector<uint8_t>> ReadWaveBlock(const ProfileFile& file, const char* section,
                                                  const char* key) {
  auto block = file.GetProfileBinary(section, key);
  if (!block || !IsValidWaveFormatBlock(*block)) return std::nullopt;
  return block;
}

void LoadGeneral(const ProfileFile& file, KelmoContext& ctx) {
  AppState& s = ctx.state;
  s.currentChannel = file.GetProfileInt(kGeneral, "Channel", 0);
  s.tvMode = Flag(file.GetProfileInt(kGeneral, "TV", 1));
  s.frameRate = file.GetProfileInt(kGeneral, "FrameRate", kDefaultFrameRate);
  s.tunerType = file.GetProfileInt(kGeneral, "Tuner", kDefaultTuner);
  s.overlayOn = Flag(file.GetProfileInt(kGeneral, "Overlay", 1));
  s.alwaysOnTop = Flag(file.GetProfileInt(kGeneral, "OnTop", 0));
  s.deinterlace = Flag(file.GetProfileInt(kVideo, "Deinterlace", 1));
  s.recordingNotes = Flag(file.GetProfileInt(kGeneral, "RecordingNotes", 1));

  // The frame rate divides the microseconds per frame; the tuner type indexes its table.
  if (s.frameRate < 1 || s.frameRate > 30) s.frameRate = kDefaultFrameRate;
  s.tunerType = ValidTunerType(s.tunerType);
  const int32_t count = s.tvMode ? ctx.channels.tv.count : ctx.channels.fm.count;
  if (s.currentChannel < 0 || s.currentChannel >= count) s.currentChannel = 0;

  const std::string fallback = DefaultCaptureDirectory();
  s.saveDir =
      CaptureDirectoryFromSetting(file.GetProfileString(kGeneral, "SaveDir", fallback), fallback);
}

// A stored wave-input format that no sound card records (a hand edit, a damaged file) would only
// be refused by the device at the first recording, as if another program held it: it is left in
// the file, unused, and the user is told what is wrong.
std::optional<std::vector<uint8_t>> ReadInputFormat(const ProfileFile& file, Messages& messages) {
  const std::string text = file.GetProfileString(kAudio, "InputFormat", "");
  if (text.empty()) return std::nullopt;
  auto block = DecodeProfileBlock(text);
  const auto format = block ? WaveFormatEx::FromBytes(*block) : std::nullopt;
  if (format && IsPlainPcm(*format)) return block;
  const std::string what = !block    ? "it is not a well-formed block of letters A to P"
                           : !format ? "its length does not match its size field"
                                     : "it is not a format a sound card records (PCM, 1 or 2 "
                                       "channels, 8 or 16 bits)";
  LogWarning("settings", "[Audio] InputFormat of %s kept unused: %s", file.Path().c_str(),
             what.c_str());
  messages.Show(Message{"The Sound Format stored in " + file.Path().string() +
                            " ([Audio] InputFormat) is damaged: " + what +
                            ".\nChoose it again (Options/Capture Options).",
                        "Kelmo", MessageIcon::Warning});
  return std::nullopt;
}

void LoadAudio(const ProfileFile& file, AudioFormatSettings& a, Messages& messages) {
  a.inputFormatSet = 0;
  a.compressionFormatSet = 0;
  if (auto block = ReadInputFormat(file, messages)) {
    a.inputFormat = std::move(*block);
    a.inputFormatName = file.GetProfileString(kAudio, "InputName", "PCM");
    a.inputFormatSet = 1;
  }
  if (auto block = ReadWaveBlock(file, kAudio, "OutputFormat")) {
    a.compressionFormat = std::move(*block);
    a.compressionFormatName = file.GetProfileString(kAudio, "OutputName", "PCM");
    a.compressionFormatSet = 1;
    a.wmaBitrate = 0;
    a.wmaSampleRate = 0;
    a.wmaChannels = 0;
    a.wmaOutput = Flag(file.GetProfileInt(kAudio, "WMA", 0));
    if (a.wmaOutput) {
      a.wmaBitrate = file.GetProfileInt(kAudio, "WMABitRate", 0);
      a.wmaSampleRate = file.GetProfileInt(kAudio, "WMASampleRate", 0);
      a.wmaChannels = file.GetProfileInt(kAudio, "WMAChannels", 0);
    }
  }
}

// A held format's 18 + cbSize bytes; empty when the block is not a valid format.
std::span<const uint8_t> FormatBytes(const std::vector<uint8_t>& block) {
  return std::span<const uint8_t>(block.data(), WaveFormatBlockSize(block));
}

void SaveAudio(ProfileChanges& changes, const AudioFormatSettings& a) {
  if (a.inputFormatSet && IsValidWaveFormatBlock(a.inputFormat)) {
    changes.WriteProfileBinary(kAudio, "InputFormat", FormatBytes(a.inputFormat));
    changes.WriteProfileString(kAudio, "InputName", a.inputFormatName);
  }
  if (a.compressionFormatSet && IsValidWaveFormatBlock(a.compressionFormat)) {
    changes.WriteProfileBinary(kAudio, "OutputFormat", FormatBytes(a.compressionFormat));
    changes.WriteProfileString(kAudio, "OutputName", a.compressionFormatName);
    // Written also when WMA is off; the reader then ignores them.
    changes.WriteProfileInt(kAudio, "WMA", a.wmaOutput);
    changes.WriteProfileInt(kAudio, "WMABitRate", a.wmaBitrate);
    changes.WriteProfileInt(kAudio, "WMASampleRate", a.wmaSampleRate);
    changes.WriteProfileInt(kAudio, "WMAChannels", a.wmaChannels);
  }
}

}  // namespace

std::string DefaultCaptureDirectory() {
  std::error_code error;
  const std::string current = std::filesystem::current_path(error).string();
  if (!error && !current.empty() && ::access(current.c_str(), W_OK) == 0)
    return WithTrailingSlash(current);
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return WithTrailingSlash(home);
  return WithTrailingSlash(current.empty() ? "/" : current);
}

std::string CaptureDirectoryFromSetting(const std::string& stored, const std::string& fallback) {
  if (stored.empty() || stored.front() != '/') return fallback;
  return WithTrailingSlash(stored);
}

CaptureFormatBlocks ReadCaptureFormats(CaptureDriver& capture) {
  CaptureFormatBlocks blocks;
  CaptureWindow* window = capture.Window();
  if (window == nullptr) return blocks;

  const uint32_t audioSize = std::max(AcmMaxFormatSize(), window->GetAudioFormatSize());
  std::vector<uint8_t> audio(audioSize);
  const uint32_t copied = window->GetAudioFormat(audio.data(), audioSize & 0xFFFF);
  // Only the bytes the window filled count, and only when they make a whole format.
  audio.resize(std::min<uint32_t>(copied, audioSize));
  audio.resize(WaveFormatBlockSize(audio));
  blocks.audio = std::move(audio);

  std::vector<uint8_t> video(window->GetVideoFormatSize());
  const uint32_t videoCopied =
      window->GetVideoFormat(video.data(), static_cast<uint32_t>(video.size()));
  video.resize(std::min<std::size_t>(videoCopied, video.size()));
  blocks.video = std::move(video);
  return blocks;
}

void ApplyCaptureFormats(CaptureDriver& capture, const CaptureFormatBlocks& blocks) {
  CaptureWindow* window = capture.Window();
  if (!blocks.audio.empty())
    capture.aviAudioFormatSet = window != nullptr && window->SetAudioFormat(blocks.audio);
  if (!blocks.video.empty())
    capture.videoFormatSet = window != nullptr && window->SetVideoFormat(blocks.video).ok();
}

namespace {

// The compression dialog opens on the last choice; compressionSet still starts at 0, so the first
// recording the user starts in a run asks. A scheduled one takes the stored choice.
void LoadCompression(const ProfileFile& file, CaptureDriver& capture) {
  CaptureWindow* window = capture.Window();
  const auto codec = CodecFromKey(file.GetProfileString(kVideo, "Compressor", ""));
  capture.compressionStored = 0;
  if (window == nullptr || !codec) return;
  window->SetCompression(Normalised({*codec, file.GetProfileInt(kVideo, "CompressorQuality", -1)}));
  capture.compressionStored = 1;
}

}  // namespace

void LoadSettings(KelmoContext& ctx) {
  const ProfileFile file(ctx.SettingsPath());
  if (const FileResult& read = file.ReadResult(); !read)
    ctx.messages.Show(Message{"The settings in " + file.Path().string() + " could not be read (" +
                                  read.reason +
                                  ").\nKelmo starts with its default settings and will not "
                                  "write over that file.",
                              "Kelmo", MessageIcon::Warning});
  LoadGeneral(file, ctx);
  BuildCaptureFileName(ctx.capture, ctx.state.saveDir, ctx.clock);

  CaptureFormatBlocks blocks;
  if (auto audio = ReadWaveBlock(file, kVideo, "AudioFormat")) blocks.audio = std::move(*audio);
  auto video = file.GetProfileBinary(kVideo, "VideoFormat");
  if (video && IsValidBitmapInfoBlock(*video)) blocks.video = std::move(*video);
  ApplyCaptureFormats(ctx.capture, blocks);
  LoadCompression(file, ctx.capture);

  LoadAudio(file, ctx.audioFormats, ctx.messages);
}

bool SaveSettings(KelmoContext& ctx) {
  const CaptureFormatBlocks blocks = ReadCaptureFormats(ctx.capture);
  const AppState& s = ctx.state;
  ProfileChanges changes;
  changes.WriteProfileInt(kGeneral, "Tuner", s.tunerType);
  changes.WriteProfileInt(kGeneral, "Channel", s.currentChannel);
  changes.WriteProfileInt(kGeneral, "TV", s.tvMode);
  changes.WriteProfileInt(kGeneral, "FrameRate", s.frameRate);
  changes.WriteProfileInt(kGeneral, "Overlay", s.overlayOn);
  changes.WriteProfileInt(kGeneral, "OnTop", s.alwaysOnTop);
  changes.WriteProfileInt(kGeneral, "RecordingNotes", s.recordingNotes);
  changes.WriteProfileString(kGeneral, "SaveDir", s.saveDir);
  changes.WriteProfileInt(kVideo, "Deinterlace", s.deinterlace);
  // A window that reports no format (no driver answers on this run) must not erase the formats
  // stored by an earlier run or by the Windows version.
  if (!blocks.audio.empty()) changes.WriteProfileBinary(kVideo, "AudioFormat", blocks.audio);
  if (!blocks.video.empty()) changes.WriteProfileBinary(kVideo, "VideoFormat", blocks.video);
  if (CaptureWindow* window = ctx.capture.Window()) {
    const VideoCompressionChoice choice = window->GetCompression();
    changes.WriteProfileString(kVideo, "Compressor", CodecInfo(choice.codec).key);
    changes.WriteProfileInt(kVideo, "CompressorQuality", choice.quality);
  }
  SaveAudio(changes, ctx.audioFormats);
  AddPrograms(changes, ctx.programs);
  // Read at this moment: a dialog may have written its own keys since the start.
  const FileResult written = ProfileFile(ctx.SettingsPath()).Write(changes);
  if (!written)
    ctx.messages.Show(Message{"The settings could not be saved in " + ctx.SettingsPath().string() +
                                  " (" + written.reason + ").",
                              "Kelmo", MessageIcon::Warning});
  return static_cast<bool>(written);
}

}  // namespace kelmo
