#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "audio/AudioFileWriter.h"
#include "audio/AudioFormatSettings.h"
#include "audio/LevelMeter.h"
#include "audio/WaveFormat.h"
#include "audio/WaveInput.h"
#include "audio/WaveOutput.h"
#include "base/AppState.h"
#include "base/Recorder.h"
#include "base/RecordingNote.h"
#include "base/RecordingProtocol.h"
#include "platform/Clock.h"

namespace kelmo {

// The wave capture engine: the sound input with six buffers of 4000 bytes circulating, each full
// one shown on the level meter, written to the recording's file (when recording) and queued
// again; the playback device held in the same format. It is the program's sound recorder: a
// recording to a file in the input format (REC. in FM mode), or monitoring only, in the AVI sound
// format (the level button). User-interface thread, except the input's callback.
class WaveCapture final : public SoundRecorder, private WaveInputCallback {
 public:
  struct Ports {
    WaveInput& input;
    WaveOutput& output;
    AudioCodecManager& codecs;
    WmaWriterFactory& wmaWriters;
    Messages& messages;
    MainWindowView& view;
    const Clock& clock;
    RecordingNote* note = nullptr;  // completed and written at each recording's end
  };

  // What the capture side decides for sound, read at each start: the format the level meter
  // listens in (the AVI sound format) and the capture file name a recording's file is named after.
  struct CaptureNames {
    const WaveFormatEx& monitorFormat;
    const std::string& captureFileName;
  };

  WaveCapture(AppState& state, const AudioFormatSettings& formats, CaptureNames names,
              RecordingProtocol& protocol, Ports ports);
  ~WaveCapture() override { StopWaveCapture(); }

  bool StartRecording(StartedBy by = StartedBy::User) override;
  void StopRecording() override;
  // A recording whose file failed is over, though the input runs on until the next REC. or STOP.
  bool IsRecording() const override { return state.recordingToFile != 0 && !writer.Failed(); }
  bool InputRunning() const override { return state.waveInputRunning != 0; }
  void StartMonitoring() override;
  void StopInput() override { StopWaveCapture(); }

  // Opens both devices in the capture format and queues the buffers; `toFile`: a recording, whose
  // file is opened too, in its own copy of the formats. A device that will not open is told ("I
  // Can't capture Audio. ...", the cause by its kind) and logged, and whatever was acquired is
  // released.
  void StartWaveCapture(bool toFile);
  // Starts the input once StartWaveCapture has opened it. An input that will not start is told
  // and logged like one that will not open; everything is released, and a recording's file, which
  // holds no sound yet, is removed. False then.
  bool BeginWaveInput();
  // Stops the input and joins its reader thread, then closes the file, then the devices; empties
  // the meter. Nothing when the devices are not open.
  void StopWaveCapture();

  // The recording's writer (tests shorten its file size limit).
  AudioFileWriter& Writer() { return writer; }

 private:
  static constexpr int kBuffers = 6;
  static constexpr uint32_t kBufferSize = 4000;

  void OnWaveInputData(WaveBuffer& buffer) override;
  DeviceError QueueBuffers();
  void ReleaseDevices();
  void TellFailure(const DeviceError& error);
  void NoteStart();
  void NoteEnd();
  // The recording's saved line, kept on the status line till the next action.
  void ShowSaved();

  AppState& state;
  const AudioFormatSettings& formats;
  CaptureNames names;
  RecordingProtocol& protocol;
  Ports ports;
  AudioFileWriter writer;
  LevelMeter meter;

  std::array<std::array<uint8_t, kBufferSize>, kBuffers> inputAreas{};
  std::array<std::array<uint8_t, kBufferSize>, kBuffers> outputAreas{};
  std::array<WaveBuffer, kBuffers> inputBuffers{};
  std::array<WaveBuffer, kBuffers> outputBuffers{};
  std::vector<uint8_t> captureFormat;
  uint16_t captureBits = 16;
  AudioFormatSettings recordingFormats;  // the running recording's own copy
  bool inputOpen = false;
  bool outputOpen = false;
  bool deviceOpen = false;
  std::atomic<uint64_t> recordedBytes{0};    // of the running recording, for its end in the log
  std::atomic<bool> failureReported{false};  // the failed file's end went to the protocol
};

}  // namespace kelmo
