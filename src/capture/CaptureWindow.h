#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/DeviceError.h"
#include "capture/CaptureDialogs.h"
#include "capture/PictureView.h"
#include "capture/VideoCompression.h"

namespace kelmo {

// What a capture driver can do, as it reports on connection.
struct CaptureDriverCaps {
  uint32_t wDeviceIndex = 0;
  bool fHasOverlay = false;         // a hardware overlay can show the picture
  bool fHasDlgVideoSource = false;  // the driver has a video source dialog
  bool fHasDlgVideoFormat = false;  // the driver has a video format dialog
  bool fHasDlgVideoDisplay = false;
  bool fCaptureInitialized = false;  // a driver is connected
  bool fDriverSuppliesPalettes = false;
};

// The capture window's state; the main timer reads fCapturingNow every second.
struct CaptureStatus {
  uint32_t uiImageWidth = 0;
  uint32_t uiImageHeight = 0;
  bool fLiveWindow = false;     // preview on
  bool fOverlayWindow = false;  // overlay on
  bool fScale = false;
  bool fUsingDefaultPalette = false;
  bool fAudioHardware = false;
  bool fCapFileExists = false;
  uint32_t dwCurrentVideoFrame = 0;
  uint32_t dwCurrentVideoFramesDropped = 0;
  uint32_t dwCurrentWaveSamples = 0;
  uint32_t dwCurrentTimeElapsedMS = 0;
  bool fCapturingNow = false;  // a streaming capture runs in the background
  uint32_t dwReturn = 0;       // error code of the last operation, 0 when none
  // Of the running or last capture, for its note: the file it writes (the next free name when
  // the one asked for was taken by its start; empty before its file exists), and whether it
  // ended on a failure, and on a full disk.
  std::string capFile;
  bool fFailed = false;
  bool fDiskFull = false;
};

// Parameters of a streaming capture (sequence). Fields keep the platform's names and meanings.
struct CaptureParms {
  uint32_t dwRequestMicroSecPerFrame = 66667;  // frame period
  bool fMakeUserHitOKToCapture = false;
  uint32_t wPercentDropForError = 10;
  bool fYield = false;       // capture on a background thread
  uint32_t dwIndexSize = 0;  // maximum index entries of the AVI file
  uint32_t wChunkGranularity = 0;
  uint32_t wNumVideoRequested = 0;
  bool fCaptureAudio = false;
  uint32_t wNumAudioRequested = 0;
  uint32_t vKeyAbort = 0x1B;  // key that ends the capture (Escape)
  bool fAbortLeftMouse = true;
  bool fAbortRightMouse = true;
  bool fLimitEnabled = false;
  uint32_t wTimeLimit = 0;  // seconds, used when fLimitEnabled
  uint32_t dwAudioBufferSize = 0;
  uint32_t AVStreamMaster = 0;  // 0: audio is the master stream
};

// Status ids the capture window reports through the status callback.
inline constexpr int kCapStatusEnd = 301;           // a capture has ended
inline constexpr int kCapStatusStatsAudio = 511;    // closing statistics, with sound
inline constexpr int kCapStatusStatsNoAudio = 512;  // closing statistics, without sound

inline constexpr int kCapStatusBegin = 300;    // a capture has started
inline constexpr int kCapStatusCurrent = 510;  // progress while capturing

// Called by the capture window while it works: a status id and its text (UTF-8). May be called on
// the capture thread; the return value is ignored by the window.
using CaptureStatusCallback = std::function<int(int id, const std::string& text)>;

// Called by the capture window when something fails that the user must hear about (a device that
// cannot be opened or stops streaming, a capture file that cannot be written): a text for the user
// that names what failed. May be called on the capture thread.
using CaptureErrorCallback = std::function<void(const std::string& text)>;

// Called with each full buffer of sound a capture records, as the input hands it over, and the
// sample size in bits: the level meter follows the recording's own sound. Called on the sound
// input's thread; it must not block.
using CaptureWaveStreamCallback =
    std::function<void(std::span<const uint8_t> samples, uint16_t bitsPerSample)>;

// The capture window: the live picture and streaming AVI capture of one connected capture driver.
// One method per message the program sends it. All methods are called on the user-interface
// thread (GetStatus also from any other); while nothing is connected they fail as stated (false,
// 0, empty records).
//
// Formats cross this boundary as byte blocks in their stored layout: an audio format is a
// WAVEFORMATEX of 18 + cbSize bytes, a video format a BITMAPINFOHEADER (40 bytes) possibly followed
// by a colour table, both little-endian.
class CaptureWindow {
 public:
  virtual ~CaptureWindow() = default;

  // The window's place in the main window: the picture area it shows its live picture in and the
  // driver dialogs it opens (either may be null: no picture, the dialogs fail). Given once the
  // main window exists, before a driver is connected.
  virtual void AttachToParent(PictureView* picture, CaptureDialogs* dialogs) = 0;

  // Status callback; an empty function removes it.
  virtual void SetCallbackStatus(CaptureStatusCallback callback) = 0;
  // Removes any yield callback (the program never installs one).
  virtual void RemoveCallbackYield() = 0;
  // Error callback; an empty function removes it.
  virtual void SetCallbackError(CaptureErrorCallback callback) = 0;
  // Wave stream callback; an empty function removes it.
  virtual void SetCallbackWaveStream(CaptureWaveStreamCallback callback) = 0;

  // Connects driver `index` (as the catalogue numbers them) and logs what it opened; NotPresent
  // for an index without a driver, else the device's kind of failure, also told through the error
  // callback.
  virtual DeviceError DriverConnect(int index) = 0;
  virtual void DriverDisconnect() = 0;
  virtual CaptureDriverCaps DriverGetCaps() = 0;
  // The connected driver's device node ("/dev/video0"); empty without one or for a source that is
  // not a device.
  virtual std::string DriverDevice() = 0;

  // The file the next capture writes (UTF-8 path).
  virtual void FileSetCaptureFile(const std::string& path) = 0;

  // True when the driver accepted the format.
  virtual bool SetAudioFormat(const std::vector<uint8_t>& format) = 0;
  // Size in bytes of the current audio format block.
  virtual uint32_t GetAudioFormatSize() = 0;
  // Copies at most `size` bytes of the current audio format into `buffer`; returns the count
  // copied.
  virtual uint32_t GetAudioFormat(uint8_t* buffer, uint32_t size) = 0;

  // The driver's video format dialog; a choice is applied with the picture stopped around it.
  // Ok on a change or a cancel; the kind of failure when there is no dialog or no driver, or the
  // device refused the format (then also told through the error callback and logged).
  virtual DeviceError DlgVideoFormat() = 0;
  // The driver's video source dialog: a change of input is applied with the picture stopped
  // around it; a refusal is told through the error callback and logged. The last refusal, or Ok.
  virtual DeviceError DlgVideoSource() = 0;
  // The compression chooser for the capture: Chosen, Cancelled (the choice stays as it was), or
  // Unavailable (no source or no dialogs).
  enum class DialogOutcome { Chosen, Cancelled, Unavailable };
  virtual DialogOutcome DlgVideoCompression() = 0;

  virtual uint32_t GetVideoFormatSize() = 0;
  virtual uint32_t GetVideoFormat(uint8_t* buffer, uint32_t size) = 0;
  // Ok when the driver accepted the format (applied with the picture stopped around it);
  // FormatNotSupported for a block that is no format the program takes.
  virtual DeviceError SetVideoFormat(const std::vector<uint8_t>& format) = 0;

  virtual void SetPreview(bool on) = 0;
  virtual void SetOverlay(bool on) = 0;
  // Milliseconds between preview frames; 0 stops the preview.
  virtual void SetPreviewRate(int milliseconds) = 0;

  virtual CaptureStatus GetStatus() = 0;

  // Starts a streaming capture into the capture file, in the background.
  virtual void Sequence() = 0;
  // True when the parameters were accepted.
  virtual bool SetSequenceSetup(const CaptureParms& parms) = 0;
  virtual CaptureParms GetSequenceSetup() = 0;
  // Ends a streaming capture and waits for its thread to end; the frames captured so far stay in
  // the file. Nothing when no capture runs.
  virtual void Stop() = 0;

  // The compressor the next capture uses, as the compression dialog left it.
  virtual VideoCompressionChoice GetCompression() = 0;
  virtual void SetCompression(const VideoCompressionChoice& choice) = 0;

  // The user's hand on the picture: a right mouse click, a key (the platform's virtual-key code;
  // Escape is 0x1B). A running capture ends when its parameters say so; true when it did.
  virtual bool RightMouseClick() = 0;
  virtual bool KeyPressed(uint32_t virtualKey) = 0;
};

}  // namespace kelmo
