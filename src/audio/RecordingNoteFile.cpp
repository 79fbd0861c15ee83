#include "audio/RecordingNoteFile.h"

#include <sys/stat.h>

#include <cstring>

#include "audio/WaveFormat.h"
#include "base/Log.h"
#include "base/RecordingHealth.h"
#include "platform/RecordingFile.h"

namespace kelmo {

void WriteRecordingNote(RecordingNote& note) {
  if (!note.Pending()) return;
  note.Done();
  struct stat made {};
  if (note.file.empty() || ::stat(note.file.c_str(), &made) != 0) return;
  note.fileBytes = FileBytes(note.file);
  const std::string path = note.file + ".txt";
  const std::string text = note.Text();
  RecordingFile file;
  if (!file.CreateNew(path) ||
      !file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size())) {
    LogWarning("capture", "the recording's note %s cannot be written: %s", path.c_str(),
               std::strerror(file.Error()));
    file.Discard();
    return;
  }
  file.Close();
  LogInfo("capture", "recording note written: %s", path.c_str());
}

std::string SoundFormatText(const std::string& name, const std::vector<uint8_t>& block) {
  const auto f = WaveFormatEx::FromBytes(block);
  if (!f) return name;
  return (name.empty() ? "" : name + ", ") + std::to_string(f->nSamplesPerSec) + " Hz, " +
         std::to_string(f->wBitsPerSample) + " bit, " + (f->nChannels == 1 ? "mono" : "stereo");
}

}  // namespace kelmo
