#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/WaveInput.h"
#include "capture/AviWriter.h"
#include "capture/CaptureWindow.h"
#include "platform/Clock.h"

namespace kelmo {

// One streaming capture into an AVI file, on its own thread. The grabber hands it every frame of
// the source (Offer); the wave input hands it the sound. With the sound as master stream the
// number of frame slots follows the sound samples recorded, so picture and sound stay in step
// however long it runs: each slot takes the oldest waiting frame, or, when none came in time, an
// empty chunk (counted as dropped). Without sound the clock sets the slots.
class SequenceCapture final : private WaveInputCallback {
 public:
  struct Setup {
    AviSetup avi;
    CaptureParms parms;
    WaveInput* sound = nullptr;            // used when parms.fCaptureAudio and avi.audio are set
    CaptureWaveStreamCallback soundShown;  // each full sound buffer (optional)
  };
  // Status texts and errors, called on the capture thread.
  using StatusSink = std::function<void(int id, const std::string& text)>;
  using ErrorSink = std::function<void(const std::string& text)>;

  SequenceCapture(Setup setup, std::unique_ptr<AviWriter> writer, Clock& clock, StatusSink status,
                  ErrorSink error);
  ~SequenceCapture() override;

  // Starts the capture thread.
  void Start();
  // Asks the capture to end (it keeps what was captured) and joins its thread.
  void StopAndJoin();
  // The grabber thread: a new frame, or the end of the source's stream (`failed` with its text).
  void Offer(const VideoFrame& frame);
  void SourceFailed(const std::string& error);

  bool Running() const { return running.load(); }
  // Any thread.
  uint32_t FramesWritten() const { return framesWritten.load(); }
  uint32_t FramesDropped() const { return framesDropped.load(); }
  uint32_t WaveSamples() const { return waveSamples.load(); }
  uint32_t ElapsedMs() const { return elapsedMs.load(); }
  // The file written (its real name, once created; empty before). Any thread.
  std::string Path() const;
  // The capture ended on a failure (FailedOnFullDisk: on a full disk). Any thread.
  bool Failed() const { return failed.load(); }
  bool FailedOnFullDisk() const { return failedOnFullDisk.load(); }

 private:
  void Run();
  bool Begin(std::string& error);
  // Opens, fills and starts the sound input; without it the AVI has no sound, which is told.
  void OpenSound();
  // Writes what is due; false when the file failed (error set).
  bool WriteDue(bool ending, std::string& error);
  bool WriteSlot(std::optional<VideoFrame>& frame, std::string& error);
  void Finish(const std::string& failure);
  int64_t SlotsDue() const;
  void SendProgress();
  uint64_t RecordedMs() const;
  // The runs of dropped frames go to the log as they end; at the end of a capture whose drops
  // pass the parameters' share the user is told.
  void NoteFrameWritten();
  void LogDropRun();
  void WarnOfDrops();
  // False (with the user told) when the disk no longer has room for another second and the
  // index: the capture then ends while the file can still be closed properly.
  bool RoomLeft();
  void OnWaveInputData(WaveBuffer& buffer) override;

  Setup setup;
  std::unique_ptr<AviWriter> writer;
  Clock& clock;
  StatusSink status;
  ErrorSink error;

  std::thread thread;
  std::atomic<bool> running{false};
  std::atomic<bool> stopAsked{false};

  mutable std::mutex mutex;  // frames, sound, the source's failure, the path, between the threads
  std::condition_variable wake;
  std::deque<VideoFrame> frames;
  std::vector<VideoFrame> spareFrames;  // written pictures whose buffers the next ones reuse
  std::vector<uint8_t> sound;
  std::string sourceError;

  // Sound buffers owned here while the wave input holds them.
  std::vector<std::vector<uint8_t>> soundMemory;
  std::vector<WaveBuffer> soundBuffers;
  bool withSound = false;  // the file has a sound stream
  bool soundOpen = false;  // the wave input is open
  uint32_t blockAlign = 1;
  uint32_t samplesPerSec = 0;
  uint16_t bitsPerSample = 16;

  int64_t startMs = 0;
  uint64_t samplesWritten = 0;
  int64_t slotsWritten = 0;
  uint64_t soundChunks = 0;
  uint64_t lastFileBytes = 0;
  bool failureTold = false;
  int64_t dropsInRun = 0;  // dropped frames in the run now going on
  int64_t runStart = 0;    // its first and last dropped slot
  int64_t runEnd = 0;
  uint64_t lastSequence = UINT64_MAX;
  std::atomic<uint32_t> framesWritten{0};
  std::atomic<uint32_t> framesDropped{0};
  std::atomic<uint32_t> waveSamples{0};
  std::atomic<uint32_t> elapsedMs{0};
  std::atomic<bool> failed{false};
  std::atomic<bool> failedOnFullDisk{false};
  std::string createdPath;  // under mutex
};

}  // namespace kelmo
