#include "audio/RiffWaveFile.h"

#include <cstring>
#include <vector>

namespace kelmo {

namespace {

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<uint8_t>(v >> shift));
}

// One byte at a time: a range insert here trips GCC 12's overflow warning under -fsanitize=thread.
void PutTag(std::vector<uint8_t>& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(tag[i]));
}

void PutLe32(RecordingFile& file, uint32_t value, uint64_t at) {
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  file.WriteAt(bytes, 4, at);
}

}  // namespace

bool RiffWaveFile::Create(std::string& path, std::span<const uint8_t> format) {
  Finish();
  if (!file.Create(path)) return false;
  std::vector<uint8_t> h;
  PutTag(h, "RIFF");
  Put32(h, 0);
  PutTag(h, "WAVE");
  PutTag(h, "fmt ");
  Put32(h, static_cast<uint32_t>(format.size()));
  h.insert(h.end(), format.begin(), format.end());
  if (format.size() % 2 != 0) h.push_back(0);
  PutTag(h, "fact");
  Put32(h, 4);
  Put32(h, 0);
  PutTag(h, "data");
  Put32(h, 0);
  headerBytes = h.size();
  dataBytes = 0;
  sampleCount = 0;
  if (!file.Write(h.data(), h.size())) {
    file.Discard();
    return false;
  }
  return true;
}

bool RiffWaveFile::Append(std::span<const uint8_t> data) {
  if (!file.IsOpen()) return false;
  if (file.Write(data.data(), data.size())) {
    dataBytes += data.size();
    return true;
  }
  // A part of the buffer may have gone to disk: cut it off, so the sizes and the data agree.
  // (The write's error stays the file's Error.)
  file.CutTo(headerBytes + dataBytes.load());
  return false;
}

void RiffWaveFile::WriteSizes(uint64_t riffSize) {
  const uint64_t data = dataBytes.load();
  PutLe32(file, static_cast<uint32_t>(riffSize), 4);
  PutLe32(file, static_cast<uint32_t>(sampleCount.load()), headerBytes - 12);
  PutLe32(file, static_cast<uint32_t>(data), headerBytes - 4);
}

void RiffWaveFile::PatchSizes() {
  if (!file.IsOpen()) return;
  WriteSizes(headerBytes - 8 + dataBytes.load());
}

void RiffWaveFile::Finish() {
  if (!file.IsOpen()) return;
  const uint64_t data = dataBytes.load();
  const uint8_t pad = 0;
  const bool padded = data % 2 != 0 && file.Write(&pad, 1);
  WriteSizes(headerBytes - 8 + data + (padded ? 1 : 0));
  file.Sync();
  file.Close();
}

}  // namespace kelmo
