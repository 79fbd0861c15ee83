#include "capture/SequenceCapture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/Log.h"
#include "base/RecordingHealth.h"

namespace kelmo {
namespace {

constexpr std::size_t kSoundBuffers = 32;  // a third of a second of sound in 10 ms buffers
constexpr std::size_t kFramesWaiting = 8;  // frames the grabber may be ahead of the file
constexpr int64_t kFlushEveryMs = 1000;
constexpr auto kIdleWait = std::chrono::milliseconds(10);

std::string Seconds(uint64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%03llu", static_cast<unsigned long long>(ms / 1000),
                static_cast<unsigned long long>(ms % 1000));
  return text;
}

}  // namespace

SequenceCapture::SequenceCapture(Setup setup, std::unique_ptr<AviWriter> writer, Clock& clock,
                                 StatusSink status, ErrorSink error)
    : setup(std::move(setup)),
      writer(std::move(writer)),
      clock(clock),
      status(std::move(status)),
      error(std::move(error)) {}

SequenceCapture::~SequenceCapture() { StopAndJoin(); }

void SequenceCapture::Start() {
  running = true;
  thread = std::thread(&SequenceCapture::Run, this);
}

void SequenceCapture::StopAndJoin() {
  {
    std::lock_guard lock(mutex);
    stopAsked = true;
  }
  wake.notify_all();
  if (thread.joinable()) thread.join();
}

void SequenceCapture::Offer(const VideoFrame& frame) {
  // A picture is large: its copy goes into a buffer an earlier picture used, so that a recording
  // of hours allocates no memory per picture and leaves the heap as it found it.
  VideoFrame copy;
  {
    std::lock_guard lock(mutex);
    if (frames.size() >= kFramesWaiting) {
      copy = std::move(frames.front());
      frames.pop_front();
    } else if (!spareFrames.empty()) {
      copy = std::move(spareFrames.back());
      spareFrames.pop_back();
    }
  }
  copy = frame;
  {
    std::lock_guard lock(mutex);
    frames.push_back(std::move(copy));
  }
  wake.notify_all();
}

void SequenceCapture::SourceFailed(const std::string& text) {
  {
    std::lock_guard lock(mutex);
    sourceError = text;
  }
  wake.notify_all();
}

void SequenceCapture::OnWaveInputData(WaveBuffer& buffer) {
  if (buffer.Full() && setup.soundShown)
    setup.soundShown({buffer.data, buffer.bufferLength}, bitsPerSample);
  {
    std::lock_guard lock(mutex);
    sound.insert(sound.end(), buffer.data, buffer.data + buffer.bytesRecorded);
  }
  wake.notify_all();
  // Refused only while the input is being reset, when the buffer is to stay out anyway.
  if (!stopAsked) (void)setup.sound->AddBuffer(buffer);
}

std::string SequenceCapture::Path() const {
  std::lock_guard lock(mutex);
  return createdPath;
}

bool SequenceCapture::Begin(std::string& failure) {
  if (setup.parms.fCaptureAudio && setup.avi.audio && setup.sound != nullptr) OpenSound();
  if (!withSound) setup.avi.audio.reset();
  if (!writer->Open(setup.avi, failure)) return false;
  setup.avi.path = writer->Path();  // the next free name when the chosen one was taken by now
  {
    std::lock_guard lock(mutex);
    createdPath = setup.avi.path;
  }
  LogInfo("capture", "recording to %s", setup.avi.path.c_str());
  return true;
}

void SequenceCapture::OpenSound() {
  const WaveFormatEx& f = *setup.avi.audio;
  blockAlign = std::max<uint32_t>(1, f.nBlockAlign);
  samplesPerSec = f.nSamplesPerSec;
  bitsPerSample = f.wBitsPerSample;
  DeviceError failed = setup.sound->Open(f.ToBytes(), *this);
  soundOpen = failed.ok();
  // The sound starts before the file is made: a file whose sound stream never gets a sample
  // would hold no picture either, as the sound sets the slots.
  if (soundOpen) {
    const uint32_t bytes = std::max<uint32_t>(1, samplesPerSec / 100) * blockAlign;
    soundMemory.assign(kSoundBuffers, std::vector<uint8_t>(bytes));
    soundBuffers.resize(kSoundBuffers);
    for (std::size_t i = 0; i < kSoundBuffers && failed.ok(); ++i) {
      soundBuffers[i].data = soundMemory[i].data();
      soundBuffers[i].bufferLength = bytes;
      failed = setup.sound->AddBuffer(soundBuffers[i]);
    }
    if (failed.ok()) failed = setup.sound->Start();
  }
  withSound = failed.ok();
  if (withSound) return;
  if (soundOpen) setup.sound->Close();
  soundOpen = false;
  LogError("capture", "no sound for the AVI: %s (%s: %s)", failed.device.c_str(),
           DeviceErrorKindName(failed.kind), failed.systemText.c_str());
  error(failed.kind == DeviceErrorKind::Busy
            ? "The sound input is in use by another program: the AVI is recorded without sound."
            : failed.Text() + " The AVI is recorded without sound.");
}

int64_t SequenceCapture::SlotsDue() const {
  const uint64_t period = std::max<uint32_t>(1, setup.avi.microSecPerFrame);
  if (withSound && setup.parms.AVStreamMaster == 0)
    return static_cast<int64_t>(samplesWritten * 1000000 / (uint64_t{samplesPerSec} * period));
  return (clock.MonotonicMilliseconds() - startMs) * 1000 / static_cast<int64_t>(period);
}

bool SequenceCapture::WriteSlot(std::optional<VideoFrame>& frame, std::string& failure) {
  if (frame && frame->sequence != lastSequence) {
    lastSequence = frame->sequence;
    if (!writer->WriteVideo(*frame, failure)) return false;
    ++framesWritten;
    NoteFrameWritten();
  } else {
    // No new picture for this slot: players show the previous one.
    if (!writer->WriteEmptyVideo(failure)) return false;
    ++framesDropped;
    if (dropsInRun++ == 0) runStart = slotsWritten;
    runEnd = slotsWritten;
  }
  ++slotsWritten;
  return true;
}

void SequenceCapture::NoteFrameWritten() {
  // A run of drops ends after a second of pictures without one.
  const int64_t second = 1000000 / std::max<uint32_t>(1, setup.avi.microSecPerFrame);
  if (dropsInRun > 0 && slotsWritten - runEnd > second) LogDropRun();
}

void SequenceCapture::LogDropRun() {
  if (dropsInRun == 0) return;
  const uint64_t period = setup.avi.microSecPerFrame;
  LogWarning("capture", "%s: frames %lld to %lld: %lld dropped (%s s to %s s)",
             setup.avi.path.c_str(), static_cast<long long>(runStart),
             static_cast<long long>(runEnd), static_cast<long long>(dropsInRun),
             Seconds(static_cast<uint64_t>(runStart) * period / 1000).c_str(),
             Seconds(static_cast<uint64_t>(runEnd + 1) * period / 1000).c_str());
  dropsInRun = 0;
}

bool SequenceCapture::RoomLeft() {
  const auto free = writer->FreeBytes();
  const uint64_t size = FileBytes(setup.avi.path);
  const uint64_t perSecond = size > lastFileBytes ? size - lastFileBytes : 0;
  lastFileBytes = size;
  const auto chunks = static_cast<uint64_t>(slotsWritten) + soundChunks;
  if (!free || *free >= AviReserveBytes(chunks, perSecond)) return true;
  // Stopped while the index still fits: the file ends whole.
  LogError("capture", "%s: the disk is full (%llu bytes free): the recording stops",
           setup.avi.path.c_str(), static_cast<unsigned long long>(*free));
  error(RecordingStoppedText(setup.avi.path, true, "", static_cast<int64_t>(RecordedMs() / 1000),
                             size, free));
  return false;
}

uint64_t SequenceCapture::RecordedMs() const {
  // The time recorded is the sound's when there is sound: that is what the file will play.
  return withSound ? samplesWritten * 1000 / samplesPerSec : elapsedMs.load();
}

bool SequenceCapture::WriteDue(bool ending, std::string& failure) {
  std::vector<uint8_t> bytes;
  {
    std::lock_guard lock(mutex);
    const std::size_t whole = sound.size() / blockAlign * blockAlign;
    bytes.assign(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(whole));
    sound.erase(sound.begin(), sound.begin() + static_cast<std::ptrdiff_t>(whole));
  }
  if (!bytes.empty()) {
    if (!writer->WriteAudio(bytes, failure)) return false;
    ++soundChunks;
    samplesWritten += bytes.size() / blockAlign;
    waveSamples = static_cast<uint32_t>(samplesWritten);
  }
  const int64_t due = SlotsDue();
  const auto patience = std::chrono::microseconds(setup.avi.microSecPerFrame);
  while (slotsWritten < due) {
    std::optional<VideoFrame> frame;
    {
      std::unique_lock lock(mutex);
      // A picture a little late for its slot still gets it, unless the capture is ending.
      if (frames.empty() && !ending && sourceError.empty())
        wake.wait_for(lock, patience, [this] { return !frames.empty() || stopAsked; });
      if (!frames.empty()) {
        frame = std::move(frames.front());
        frames.pop_front();
      }
    }
    const bool written = WriteSlot(frame, failure);
    if (frame) {
      std::lock_guard lock(mutex);
      spareFrames.push_back(std::move(*frame));
    }
    if (!written) return false;
  }
  return true;
}

void SequenceCapture::SendProgress() {
  const uint64_t ms = RecordedMs();
  const std::string& path = setup.avi.path;
  // Health first, as the sound recordings show it; the whole line fits the status field for
  // recordings of several hours.
  status(kCapStatusCurrent, FormatRecordingHealth(static_cast<int64_t>(ms / 1000), FileBytes(path),
                                                  writer->FreeBytes()) +
                                "  " + std::to_string(framesWritten.load()) + " frames, " +
                                std::to_string(framesDropped.load()) + " dropped");
}

void SequenceCapture::WarnOfDrops() {
  const auto dropped = static_cast<int64_t>(framesDropped.load());
  const int64_t limit = setup.parms.wPercentDropForError;
  // Under a second (a program whose end came as it started) a share means nothing: one late
  // picture of two is not a machine that cannot keep up. The log has the drops all the same.
  const int64_t second = 1000000 / std::max<uint32_t>(1, setup.avi.microSecPerFrame);
  if (slotsWritten < std::max<int64_t>(1, second) || dropped * 100 <= slotsWritten * limit) return;
  const int64_t percent = dropped * 100 / slotsWritten;
  LogWarning("capture", "%s: %lld of %lld frames dropped (%lld %%, the limit is %lld %%)",
             setup.avi.path.c_str(), static_cast<long long>(dropped),
             static_cast<long long>(slotsWritten), static_cast<long long>(percent),
             static_cast<long long>(limit));
  error("Frames were lost: " + std::to_string(dropped) + " of the " + std::to_string(slotsWritten) +
        " frames of " + setup.avi.path + " (" + std::to_string(percent) +
        " %) have no picture of their own, more than the " + std::to_string(limit) +
        " % allowed. The computer or the capture device could not keep up.");
}

void SequenceCapture::Run() {
  std::string failure;
  startMs = clock.MonotonicMilliseconds();
  status(kCapStatusBegin, "Capture Start");
  bool ok = Begin(failure);
  int64_t lastFlushMs = startMs;
  bool sourceReported = false;
  while (ok && !stopAsked) {
    {
      std::unique_lock lock(mutex);
      wake.wait_for(lock, kIdleWait);
      if (!sourceError.empty() && !sourceReported) {
        sourceReported = true;
        error(sourceError);
      }
    }
    ok = WriteDue(false, failure);
    const int64_t now = clock.MonotonicMilliseconds();
    elapsedMs = static_cast<uint32_t>(now - startMs);
    if (ok && now - lastFlushMs >= kFlushEveryMs) {
      lastFlushMs = now;
      ok = writer->Flush(failure);
      if (ok && !RoomLeft()) {
        failure = "the disk is full";
        failureTold = true;
        ok = false;
      }
      SendProgress();
    }
    if (setup.parms.fLimitEnabled && now - startMs >= int64_t{setup.parms.wTimeLimit} * 1000) break;
  }
  Finish(failure);
}

void SequenceCapture::Finish(const std::string& failureSoFar) {
  std::string failure = failureSoFar;
  if (soundOpen) {
    // The reset hands back the buffer being filled: the last sound reaches the file too.
    stopAsked = true;
    setup.sound->Reset();
    setup.sound->Close();
    soundOpen = false;
  }
  bool ok = failure.empty() && WriteDue(true, failure);
  std::string closeFailure;
  if (!writer->Close(closeFailure) && failure.empty()) failure = closeFailure;
  ok = ok && failure.empty();
  if (!failure.empty()) {
    LogError("capture", "recording %s failed: %s", setup.avi.path.c_str(), failure.c_str());
    if (!failureTold) error(failure);
  }
  failedOnFullDisk = !ok && failure.find("disk is full") != std::string::npos;
  failed = !ok;
  LogDropRun();
  WarnOfDrops();
  const uint64_t ms = RecordedMs();
  LogInfo("capture", "recording ended: %s, %s s, %llu bytes, %u frames captured, %u dropped",
          setup.avi.path.c_str(), Seconds(ms).c_str(),
          static_cast<unsigned long long>(FileBytes(setup.avi.path)), framesWritten.load(),
          framesDropped.load());
  // The closing statistics stay on the status line: a failure is told there too.
  std::string text = (ok ? "" : "Recording stopped: " + failure + "  ") + "Captured " +
                     Seconds(ms) + " sec.  " + std::to_string(slotsWritten) + " frames (" +
                     std::to_string(framesDropped.load()) + " dropped)";
  if (withSound) {
    text += ".  " + std::to_string(samplesWritten * blockAlign) + " audio bytes";
    status(kCapStatusStatsAudio, text);
  } else {
    status(kCapStatusStatsNoAudio, text);
  }
  status(kCapStatusEnd, "Capture End");
  running = false;
}

}  // namespace kelmo
