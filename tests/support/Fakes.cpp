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

void FakeRecorder::StopInput() {
  StopRecording();
  monitoring = false;
}

void FakeRecorder::EndByItself() {
  recording = false;
  if (protocol) protocol->CaptureEnded();
}

}  // namespace kelmo::test
