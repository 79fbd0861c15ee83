#include "audio/AudioFileWriter.h"

#include <unistd.h>

#include <cerrno>
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
  inputBytes = 0;
  writing = 0;
  part = 1;
  if (formats.wmaOutput == 1) {
    wmaFile.Open(captureFileName, formats);
    fileName = currentPath = wmaFile.FileName();
  } else {
    fileName = SoundFileName(captureFileName, "wav");
    if (!OpenPart()) {
      LogError("audio", "%s cannot be made: %s", fileName.c_str(), std::strerror(errno));
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
  return file.Create(currentPath, std::span(format).first(size));
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
    if (!OpenPart()) {
      Fail("ERROR abriendo fichero WAV en disco");
      return;
    }
  }
  std::lock_guard lock(fileMutex);
  if (!file.Append(data)) {
    LogError("audio", "writing %s failed: %s", currentPath.c_str(), std::strerror(errno));
    writing = 0;
    messages.Show("ERROR escribiendo el fichero WAV");
  }
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
