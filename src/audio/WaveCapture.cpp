#include "audio/WaveCapture.h"

#include <filesystem>

#include "audio/RecordingNoteFile.h"
#include "base/Log.h"
#include "base/RecordingHealth.h"

namespace kelmo {

WaveCapture::WaveCapture(AppState& state, const AudioFormatSettings& formats, CaptureNames names,
                         RecordingProtocol& protocol, Ports ports)
    : state(state),
      formats(formats),
      names(names),
      protocol(protocol),
      ports(ports),
      writer(ports.codecs, ports.wmaWriters, ports.messages, ports.view),
      meter(state, ports.view) {}

bool WaveCapture::StartRecording(StartedBy) {
  StartWaveCapture(true);
  return BeginWaveInput();
}

void WaveCapture::StopRecording() {
  if (state.recordingToFile != 0) StopWaveCapture();
}

void WaveCapture::StartMonitoring() {
  StartWaveCapture(false);
  BeginWaveInput();
}

void WaveCapture::StartWaveCapture(bool toFile) {
  StopWaveCapture();
  if (toFile) {
    recordingFormats = formats;
    captureFormat = recordingFormats.inputFormat;
  } else {
    captureFormat = names.monitorFormat.ToBytes();
  }
  const auto parsed = WaveFormatEx::FromBytes(captureFormat);
  captureBits = parsed ? parsed->wBitsPerSample : 0;
  DeviceError failed = ports.output.Open(captureFormat);
  outputOpen = failed.ok();
  if (outputOpen) failed = ports.input.Open(captureFormat, *this);
  inputOpen = outputOpen && failed.ok();
  if (inputOpen) failed = QueueBuffers();
  deviceOpen = failed.ok();
  if (!deviceOpen) {
    TellFailure(failed);
    ReleaseDevices();
    return;
  }
  if (toFile) {
    recordedBytes = 0;
    failureReported = false;
    writer.Open(names.captureFileName, recordingFormats);
    state.recordingToFile = 1;
    LogInfo("audio", "recording started: %s", writer.FileName().c_str());
    NoteStart();
  }
}

DeviceError WaveCapture::QueueBuffers() {
  for (int i = 0; i < kBuffers; ++i) {
    inputBuffers[i] = WaveBuffer{inputAreas[i].data(), kBufferSize};
    outputBuffers[i] = WaveBuffer{outputAreas[i].data(), kBufferSize};
    if (DeviceError e = ports.input.AddBuffer(inputBuffers[i]); !e.ok()) return e;
    if (DeviceError e = ports.output.PrepareBuffer(outputBuffers[i]); !e.ok()) return e;
    outputBuffers[i].done = true;  // nothing is ever played
  }
  return DeviceError::Ok();
}

void WaveCapture::TellFailure(const DeviceError& error) {
  LogError("audio", "the sound input cannot capture: %s (%s: %s)", error.device.c_str(),
           DeviceErrorKindName(error.kind), error.systemText.c_str());
  // The busy device keeps the message users know; every other cause names itself.
  const std::string text = error.kind == DeviceErrorKind::Busy
                               ? "I Can't capture Audio. There is other device using it."
                               : "I Can't capture Audio. " + error.Text();
  ports.messages.Show(Message{text, "Error", MessageIcon::Warning});
}

bool WaveCapture::BeginWaveInput() {
  if (!deviceOpen) return false;
  state.waveInputRunning = 1;
  const DeviceError failed = ports.input.Start();
  if (failed.ok()) return true;
  TellFailure(failed);
  const bool recording = state.recordingToFile != 0;
  StopWaveCapture();
  if (recording) {
    std::error_code ignored;
    std::filesystem::remove(writer.FileName(), ignored);
  }
  return false;
}

void WaveCapture::StopWaveCapture() {
  if (!deviceOpen) return;
  // The reader has ended when Reset returns: no Write can come after the file is closed.
  ports.input.Reset();
  if (state.recordingToFile != 0) {
    writer.Close();
    state.recordingToFile = 0;
    const auto format = WaveFormatEx::FromBytes(recordingFormats.inputFormat);
    const uint32_t rate = format && format->nAvgBytesPerSec > 0 ? format->nAvgBytesPerSec : 1;
    LogInfo("audio", "recording ended: %s, %.1f s, %llu bytes", writer.FileName().c_str(),
            static_cast<double>(recordedBytes.load()) / rate,
            static_cast<unsigned long long>(FileBytes(writer.FileName())));
    NoteEnd();
    ShowSaved();
  }
  ReleaseDevices();
  meter.Clear();
  state.waveInputRunning = 0;
}

void WaveCapture::NoteStart() {
  if (!ports.note) return;
  ports.note->file = writer.FileName();
  ports.note->device = ports.input.Name();
  const AudioFormatSettings& f = recordingFormats;
  ports.note->soundFormat = f.wmaOutput == 1
                                ? "WMA, " + std::to_string(f.wmaBitrate / 1000) + " kbit/s, " +
                                      std::to_string(f.wmaSampleRate) + " Hz, " +
                                      (f.wmaChannels == 1 ? "mono" : "stereo")
                                : SoundFormatText(f.compressionFormatName, f.compressionFormat);
}

void WaveCapture::NoteEnd() {
  if (!ports.note) return;
  // A file that failed ended the recording then, not at this stop.
  if (ports.note->end == 0) ports.note->end = ports.clock.Now();
  ports.note->soundMs = writer.SoundMilliseconds();
  WriteRecordingNote(*ports.note);
}

void WaveCapture::ShowSaved() {
  const std::string line =
      FormatSavedLine(writer.FileName(), writer.SoundMilliseconds(), FileBytes(writer.FileName()));
  state.savedLine.Hold(line);
  ports.view.SetStatusLine(line);
}

void WaveCapture::ReleaseDevices() {
  if (inputOpen) ports.input.Close();
  if (outputOpen) {
    ports.output.Reset();
    ports.output.Close();
  }
  inputOpen = outputOpen = deviceOpen = false;
}

void WaveCapture::OnWaveInputData(WaveBuffer& buffer) {
  // Every buffer, also while only monitoring, checks the first program's end.
  if (protocol.EndTimeSeen(ports.clock.Now()) && state.recordingToFile != 0 && ports.note)
    ports.note->EndedBy(RecordingEnd::Schedule);
  // A partly filled buffer (given back at a reset) is neither shown, written nor queued again.
  if (!buffer.Full()) return;
  meter.Show({buffer.data, buffer.bufferLength}, captureBits);
  if (state.recordingToFile != 0) {
    recordedBytes += buffer.bufferLength;
    writer.Write(buffer.data, buffer.bufferLength);
    // A file that failed has ended the recording, as a video capture that ends by itself does:
    // REC. can start another at once.
    if (writer.Failed() && !failureReported.exchange(true)) {
      if (ports.note) {
        ports.note->EndedBy(writer.DiskFull() ? RecordingEnd::DiskFull : RecordingEnd::Error);
        ports.note->end = ports.clock.Now();
      }
      protocol.CaptureEnded();
      ports.view.SetRecEnabled(true);
      ports.view.FocusRec();
      ports.view.SetStopEnabled(false);
    }
  }
  // Refused only while the input is being reset, when the buffer is to stay out anyway.
  (void)ports.input.AddBuffer(buffer);
}

}  // namespace kelmo
