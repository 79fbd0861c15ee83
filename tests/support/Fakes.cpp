#include "support/Fakes.h"

namespace kelmo::test {

MessageAnswer RecordingMessages::Show(const Message& message) {
  std::lock_guard lock(mutex);
  shown.push_back(message);
  if (Deferring()) {
    queued.push_back(message.text);
    return MessageAnswer::Queued;
  }
  if (answers.empty()) return MessageAnswer::Ok;
  MessageAnswer a = answers.front();
  answers.pop_front();
  return a;
}

std::vector<Message> RecordingMessages::Shown() const {
  std::lock_guard lock(mutex);
  return shown;
}

std::vector<std::string> RecordingMessages::Texts() const {
  std::lock_guard lock(mutex);
  std::vector<std::string> texts;
  for (const Message& m : shown) texts.push_back(m.text);
  return texts;
}

void RecordingMessages::Answer(MessageAnswer answer) {
  std::lock_guard lock(mutex);
  answers.push_back(answer);
}

void RecordingMessages::Clear() {
  std::lock_guard lock(mutex);
  shown.clear();
  queued.clear();
}

std::vector<std::string> RecordingMessages::QueuedTexts() const {
  std::lock_guard lock(mutex);
  return queued;
}

std::optional<std::string> RecordingShell::OpenMixer() {
  if (!mixerInstalled) return std::nullopt;
  ++mixerOpened;
  return std::string("pavucontrol");
}

std::optional<std::string> RecordingShell::ChooseDirectory(const std::string& title,
                                                           const std::string&) {
  directoryTitles.push_back(title);
  return directoryAnswer;
}

void RecordingView::SetStatusLine(const std::string& text) { statusLine = text; }
void RecordingView::SetClockText(const std::string& text) {
  clockText = text;
  ++clockWrites;
}
void RecordingView::SetOverlayText(const std::string& text) { overlayText = text; }
void RecordingView::SetChannelLine(const std::string& text) { channelLine = text; }
void RecordingView::SetLevelText(const std::string& text) { levelText = text; }
void RecordingView::SetLevelMeter(int value) { levelMeter = value; }
void RecordingView::SetRecEnabled(bool enabled) { recEnabled = enabled; }
void RecordingView::SetStopEnabled(bool enabled) { stopEnabled = enabled; }
void RecordingView::FocusRec() { focus = "rec"; }
void RecordingView::FocusStop() { focus = "stop"; }

bool FakeRecorder::StartRecording(StartedBy by) {
  ++starts;
  lastStartBy = by;
  recording = !failStart;
  return recording;
}

void FakeRecorder::StopRecording() {
  if (!recording) return;
  ++stops;
  recording = false;
  if (protocol) protocol->CaptureEnded();
}

void FakeRecorder::StartMonitoring() { monitoring = !failStart; }

void FakeRecorder::StopInput() {
  StopRecording();
  monitoring = false;
}

void FakeRecorder::EndByItself() {
  recording = false;
  if (protocol) protocol->CaptureEnded();
}

}  // namespace kelmo::test
