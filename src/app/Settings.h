#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/KelmoContext.h"
#include "capture/CaptureDriver.h"

namespace kelmo {

// The settings in config.dat (ctx.SettingsPath()): read once while the main window starts, after
// the channel lists and before the saved channel is tuned; written once when it closes, while the
// capture window still exists. Missing keys give their defaults. A file that cannot be read, a
// stored sound format that is damaged and a failed write are shown and logged. User-interface
// thread.

// Reads every setting into ctx.state, ctx.capture and ctx.audioFormats. Hand-edited values out of
// range fall back: a channel outside the current mode's list to 0, a tuner outside 0..2 to 2, a
// frame rate outside 1..30 to 25, a capture folder that is not an absolute path to the default.
// Rebuilds the capture file name and gives the saved capture formats to the capture window.
void LoadSettings(KelmoContext& ctx);

// Writes every setting into config.dat as it is on disk at this moment, in one write. A capture
// format that the capture window reports replaces the stored one; one it cannot report (no window,
// no driver) leaves the stored key as it was. False, after telling the user which file and why,
// when the settings could not be saved.
bool SaveSettings(KelmoContext& ctx);

// The capture window's audio and video format, as stored in "Video". Empty blocks when there is no
// window or it gave no usable format.
struct CaptureFormatBlocks {
  std::vector<uint8_t> audio;  // WAVEFORMATEX, 18 + cbSize bytes
  std::vector<uint8_t> video;  // BITMAPINFO, as many bytes as the window gave
};

CaptureFormatBlocks ReadCaptureFormats(CaptureDriver& capture);

// Gives each non-empty block to the capture window and keeps its answer in aviAudioFormatSet or
// videoFormatSet (0 without a window); an empty block leaves its flag as it was.
void ApplyCaptureFormats(CaptureDriver& capture, const CaptureFormatBlocks& blocks);

// Where recordings go by default: the current directory when it is writable, else the home
// directory; with a trailing '/'.
std::string DefaultCaptureDirectory();

// The capture folder to use for a stored "SaveDir": an absolute path, with a trailing '/' added
// unless it ends in one, or `fallback` for anything else (an empty value, a Windows path of an old
// file). A folder that is missing right now is kept.
std::string CaptureDirectoryFromSetting(const std::string& stored, const std::string& fallback);

}  // namespace kelmo
