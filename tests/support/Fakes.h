#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/MainWindowView.h"
#include "base/Recorder.h"
#include "base/RecordingProtocol.h"
#include "platform/Messages.h"
#include "platform/Shell.h"

namespace kelmo::test {

// Records every box and answers from a queue of prepared answers (Ok when the queue is empty).
class RecordingMessages final : public Messages {
 public:
  using Messages::Show;
  MessageAnswer Show(const Message& message) override;

  std::vector<Message> Shown() const;
  std::vector<std::string> Texts() const;
  // The texts shown while deferring, which nobody waited for.
  std::vector<std::string> QueuedTexts() const;
  void Answer(MessageAnswer answer);
  void Clear();

 private:
  mutable std::mutex mutex;
  std::vector<Message> shown;
  std::vector<std::string> queued;
  std::deque<MessageAnswer> answers;
};

// Records what the program asked of the desktop.
class RecordingShell final : public Shell {
 public:
  std::optional<std::string> OpenMixer() override {
    if (!mixerInstalled) return std::nullopt;
    ++mixerOpened;
    return std::string("pavucontrol");
  }
  std::optional<std::string> ChooseDirectory(const std::string& title,
                                             const std::string&) override {
    directoryTitles.push_back(title);
    return directoryAnswer;
  }

  bool mixerInstalled = true;
  int mixerOpened = 0;
  std::optional<std::string> directoryAnswer;
  std::vector<std::string> directoryTitles;
};

// The main window's fields as core code last wrote them.
class RecordingView final : public MainWindowView {
 public:
  void SetStatusLine(const std::string& text) override { statusLine = text; }
  void SetClockText(const std::string& text) override { clockText = text, ++clockWrites; }
  void SetOverlayText(const std::string& text) override { overlayText = text; }
  void SetChannelLine(const std::string& text) override { channelLine = text; }
  void SetLevelText(const std::string& text) override { levelText = text; }
  void SetLevelMeter(int value) override { levelMeter = value; }
  void SetRecEnabled(bool enabled) override { recEnabled = enabled; }
  void SetStopEnabled(bool enabled) override { stopEnabled = enabled; }
  void FocusRec() override { focus = "rec"; }
  void FocusStop() override { focus = "stop"; }
  void ExitAndShutdown() override { ++shutdowns; }

  std::string statusLine, clockText, overlayText, channelLine, levelText;
  int levelMeter = 0;
  int clockWrites = 0;
  bool recEnabled = true, stopEnabled = false;
  std::string focus;  // "rec" or "stop"
  int shutdowns = 0;
};

// A recorder that records nothing but keeps the states a real one goes through. A video recorder
// reports the end of its capture through the protocol, as the capture thread does.
class FakeRecorder final : public SoundRecorder {
 public:
  explicit FakeRecorder(RecordingProtocol* videoProtocol = nullptr) : protocol(videoProtocol) {}

  bool StartRecording(StartedBy by = StartedBy::User) override;
  void StopRecording() override;
  bool IsRecording() const override { return recording; }
  bool InputRunning() const override { return recording || monitoring; }
  void StartMonitoring() override { monitoring = !failStart; }
  void StopInput() override;

  // The capture ends by itself (a right click, an error).
  void EndByItself();

  bool failStart = false;  // the device is busy
  bool recording = false;
  bool monitoring = false;
  int starts = 0;
  int stops = 0;
  StartedBy lastStartBy = StartedBy::User;

 private:
  RecordingProtocol* protocol;
};

}  // namespace kelmo::test
