#include "audio/RiffWaveFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAt(int fd, uint32_t value, off_t at) {
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  return ::pwrite(fd, bytes, 4, at) == 4;
}

}  // namespace

bool RiffWaveFile::Create(const std::string& path, std::span<const uint8_t> format) {
  Finish();
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
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
  if (!WriteAll(fd, h.data(), h.size())) {
    ::close(fd);
    fd = -1;
    return false;
  }
  return true;
}

bool RiffWaveFile::Append(std::span<const uint8_t> data) {
  if (fd < 0) return false;
  if (WriteAll(fd, data.data(), data.size())) {
    dataBytes += data.size();
    return true;
  }
  // A part of the buffer may have gone to disk: cut it off, so the sizes and the data agree. The
  // caller reads the write's own reason in errno.
  const int reason = errno;
  const off_t end = static_cast<off_t>(headerBytes + dataBytes.load());
  if (::ftruncate(fd, end) == 0) ::lseek(fd, end, SEEK_SET);
  errno = reason;
  return false;
}

void RiffWaveFile::WriteSizes(uint64_t riffSize) {
  const uint64_t data = dataBytes.load();
  WriteAt(fd, static_cast<uint32_t>(riffSize), 4);
  WriteAt(fd, static_cast<uint32_t>(data), static_cast<off_t>(headerBytes - 4));
}

void RiffWaveFile::PatchSizes() {
  if (fd < 0) return;
  WriteSizes(headerBytes - 8 + dataBytes.load());
}

int RiffWaveFile::DuplicateHandle() const { return fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }

void RiffWaveFile::Finish() {
  if (fd < 0) return;
  const uint64_t data = dataBytes.load();
  const uint8_t pad = 0;
  const bool padded = data % 2 != 0 && WriteAll(fd, &pad, 1);
  WriteSizes(headerBytes - 8 + data + (padded ? 1 : 0));
  ::fsync(fd);
  ::close(fd);
  fd = -1;
}

}  // namespace kelmo
