#include "audio/AudioFileWriter.h"

#include <unistd.h>

#include <chrono>
#include <cstring>

#include "audio/WaveFormat.h"
#include "base/Log.h"
#include "base/RecordingHealth.h"

namespace kelmo {

namespace {

constexpr uint16_t kPcmTag = 1;

}  // namespace

AudioFileWriter::AudioFileWriter(AudioCodecManager& codecs, WmaWriterFactory& wmaFactory,
                                 Messages& messages, MainWindowView& view)
    : converter(codecs, messages), wmaFile(wmaFactory, messages), messages(messages), view(view) {}

AudioFileWriter::~AudioFileWriter() { Close(); }

void AudioFileWriter::Open(const std::string& captureFileName, const AudioFormatSettings& chosen) {
  Close();
  formats = chosen;
  failed = diskFull = 0;
  inputBytes = 0;
  samplesBeforePart = partSamples = 0;
  writing = 0;
  part = 1;
  if (formats.wmaOutput == 1) {
    wmaFile.Open(captureFileName, formats);
    fileName = currentPath = wmaFile.FileName();
  } else {
    fileName = SoundFileName(captureFileName, "wav");
    if (!OpenPart()) {
      // Nothing to record into: the recording ends at once (and leaves no empty file).
      failed = 1;
      LogError("audio", "cannot create %s: %s", fileName.c_str(), std::strerror(file.Error()));
      messages.Show("ERROR abriendo fichero WAV en disco");
    } else if (converter.OpenConversion(formats.inputFormat, formats.compressionFormat)) {
      writing = 1;
    } else {
      std::lock_guard lock(fileMutex);
      file.Finish();
    }
  }
  stopped = 0;
  syncStop = false;
  syncer = std::thread([this] { RunSync(); });
}

std::string AudioFileWriter::PartName(int n) const {
  if (n == 1) return fileName;
  return SoundFileName(fileName, "") + std::to_string(n) + ".wav";
}

bool AudioFileWriter::OpenPart() {
  const std::vector<uint8_t>& format = formats.compressionFormat;
  if (!IsValidWaveFormatBlock(format)) return false;
  // PCM's "fmt " holds the 18 base bytes (cbSize included); other tags their extra bytes too.
  const std::size_t size = format[0] == kPcmTag && format[1] == 0 ? WaveFormatEx::kBaseSize
                                                                  : WaveFormatBlockSize(format);
  std::lock_guard lock(fileMutex);
  file.Finish();
  currentPath = PartName(part);
  if (!file.Create(currentPath, std::span(format).first(size))) return false;
  if (part == 1) fileName = currentPath;  // the name was taken by then: the next free one
  LogInfo("audio", "recording to %s", currentPath.c_str());
  return true;
}

void AudioFileWriter::Write(const uint8_t* data, uint32_t length) {
  if (stopped != 0 || writeBusy.exchange(1) != 0) return;
  inputBytes += length;
  if (formats.wmaOutput == 1) {
    wmaFile.Write(data, length);
  } else if (writing != 0) {
    bool failed = false;
    const auto converted = converter.Convert(data, length, false, failed);
    if (failed) {
      Fail("ERROR en acmStreamConvert");
    } else {
      Append(converted);
    }
  }
  ShowIndicator();
  writeBusy = 0;
}

void AudioFileWriter::Append(std::span<const uint8_t> data) {
  if (data.empty()) return;
  // One more byte for the pad an odd length gets.
  if (file.HeaderBytes() + file.DataBytes() + data.size() + 1 > fileSizeLimit) {
    ++part;
    samplesBeforePart += partSamples;
    if (!OpenPart()) {
      std::lock_guard lock(fileMutex);
      StopOnFailure();
      return;
    }
  }
  std::lock_guard lock(fileMutex);
  if (!file.Append(data)) {
    StopOnFailure();
    return;
  }
  partSamples = PartSamples();
  file.SetSampleCount(partSamples);
}

uint64_t AudioFileWriter::PartSamples() {
  const auto in = WaveFormatEx::FromBytes(formats.inputFormat);
  const auto out = WaveFormatEx::FromBytes(formats.compressionFormat);
  if (!in || !out || in->nBlockAlign == 0 || in->nSamplesPerSec == 0) return 0;
  // PCM counts its frames; a codec's frames are the input's at the output's rate (the encoder's
  // padding of its last block is no part of the recording).
  if (out->wFormatTag == kPcmTag && out->nBlockAlign > 0)
    return file.DataBytes() / out->nBlockAlign;
  const uint64_t frames = inputBytes / in->nBlockAlign * out->nSamplesPerSec / in->nSamplesPerSec;
  return frames > samplesBeforePart ? frames - samplesBeforePart : 0;
}

uint64_t AudioFileWriter::SoundMilliseconds() const {
  if (formats.wmaOutput == 1) {
    const auto in = WaveFormatEx::FromBytes(formats.inputFormat);
    return in && in->nAvgBytesPerSec > 0 ? inputBytes * 1000 / in->nAvgBytesPerSec : 0;
  }
  const auto out = WaveFormatEx::FromBytes(formats.compressionFormat);
  const uint64_t samples = samplesBeforePart + partSamples;
  return out && out->nSamplesPerSec > 0 ? samples * 1000 / out->nSamplesPerSec : 0;
}

void AudioFileWriter::StopOnFailure() {
  // The file keeps what reached it, with its header right; nothing more is written and the
  // status line no longer counts.
  writing = 0;
  failed = 1;
  const int code = file.Error();
  diskFull = IsDiskFullError(code) ? 1 : 0;
  const auto out = WaveFormatEx::FromBytes(formats.compressionFormat);
  const uint32_t rate = out && out->nAvgBytesPerSec > 0 ? out->nAvgBytesPerSec : 1;
  const uint64_t data = file.DataBytes();
  const auto free = file.FreeBytes();
  file.Finish();
  const std::string text =
      RecordingStoppedText(currentPath, IsDiskFullError(code), std::strerror(code),
                           static_cast<int64_t>(data / rate), FileBytes(currentPath), free);
  LogError("audio", "writing %s failed (%s): the recording stopped with %llu bytes of sound",
           currentPath.c_str(), std::strerror(code), static_cast<unsigned long long>(data));
  messages.Show(
      Message{"ERROR escribiendo el fichero WAV\n" + text, "Kelmo", MessageIcon::Warning});
}

void AudioFileWriter::Fail(const char* message) {
  writing = 0;
  messages.Show(message);
}

void AudioFileWriter::ShowIndicator() {
  // A cycle of 44 buffers: blank, "RECORDING", blank, the format's name, eleven buffers each.
  if (++indicatorPhase > 43) indicatorPhase = 0;
  if (indicatorPhase >= 11 && indicatorPhase <= 21) {
    view.SetClockText("RECORDING");
  } else if (indicatorPhase > 32) {
    view.SetClockText(formats.wmaOutput == 1 ? "WMA" : "WAV");
  } else {
    view.SetClockText(" ");
  }
}

void AudioFileWriter::Close() {
  if (stopped.exchange(1) != 0) return;
  {
    std::lock_guard lock(syncMutex);
    syncStop = true;
  }
  syncWake.notify_all();
  syncer.join();
  if (formats.wmaOutput == 1) {
    wmaFile.Flush();
    return;
  }
  if (writing != 0) {
    bool failed = false;
    const auto rest = converter.Convert(nullptr, 0, true, failed);
    if (failed) {
      Fail("ERROR en acmStreamConvert");
    } else {
      Append(rest);
    }
  }
  converter.CloseConversion();
  std::lock_guard lock(fileMutex);
  file.Finish();
}

void AudioFileWriter::RunSync() {
  std::unique_lock lock(syncMutex);
  while (!syncWake.wait_for(lock, std::chrono::seconds(1), [this] { return syncStop; })) {
    lock.unlock();
    SyncOnce();
    lock.lock();
  }
}

void AudioFileWriter::SyncOnce() {
  if (failed != 0) return;  // the recording is over: the line keeps the clock's
  int handle = -1;
  std::string path;
  {
    std::lock_guard lock(fileMutex);
    file.PatchSizes();
    handle = file.DuplicateHandle();
    path = currentPath;
  }
  if (handle >= 0) {
    ::fdatasync(handle);
    ::close(handle);
  }
  const auto format = WaveFormatEx::FromBytes(formats.inputFormat);
  const uint32_t rate = format && format->nAvgBytesPerSec > 0 ? format->nAvgBytesPerSec : 1;
  view.SetStatusLine(FormatRecordingHealth(static_cast<int64_t>(inputBytes / rate), FileBytes(path),
                                           FreeDiskBytes(path)));
}

}  // namespace kelmo
