#include "platform/RecordingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/RecordingHealth.h"

namespace kelmo {

namespace {

constexpr int kNameTries = 1000;  // names taken one after the other before giving up

constexpr std::string_view kAvi = ".avi";

bool AnyRecordingExists(const std::string& stem) {
  for (const char* extension : {".avi", ".wav", ".wma"}) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(stem + extension, error)))
      return true;
  }
  return false;
}

// The name after `taken`: its stem without a "-<n>" of an earlier try, numbered on from there,
// with `taken`'s own extension.
std::string NextName(const std::string& taken) {
  const std::size_t dot = taken.rfind('.');
  const std::size_t slash = taken.rfind('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string extension = hasExtension ? taken.substr(dot) : "";
  std::string stem = hasExtension ? taken.substr(0, dot) : taken;
  const std::size_t dash = stem.rfind('-');
  if (dash != std::string::npos && dash + 1 < stem.size() &&
      stem.find_first_not_of("0123456789", dash + 1) == std::string::npos)
    stem.resize(dash);
  std::string free = FreeCaptureFileName(stem + ".avi");
  free.resize(free.size() - 4);
  return free + extension;
}

}  // namespace

std::string FreeCaptureFileName(const std::string& name) {
  const std::string stem = name.substr(0, name.size() - kAvi.size());
  if (!AnyRecordingExists(stem)) return name;
  for (int n = 2;; ++n) {
    const std::string numbered = stem + "-" + std::to_string(n);
    if (!AnyRecordingExists(numbered)) return numbered + std::string(kAvi);
  }
}

bool IsDiskFullError(int code) { return code == ENOSPC || code == EDQUOT || code == EFBIG; }

bool RecordingFile::Fail(int code) {
  error = code;
  return false;
}

bool RecordingFile::OpenNew(const std::string& name) {
  // Permissions as the umask gives them; the name must be new and no link.
  fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(errno);
  path = name;
  position = end = 0;
  limit = SimulatedDiskBytes().value_or(UINT64_MAX);
  return true;
}

bool RecordingFile::Create(std::string& name) {
  Close();
  error = 0;
  for (int i = 0; i < kNameTries; ++i) {
    if (OpenNew(name)) return true;
    if (error != EEXIST && error != ELOOP) return false;
    name = NextName(name);
  }
  return Fail(EEXIST);
}

bool RecordingFile::CreateNew(const std::string& name) {
  Close();
  error = 0;
  return OpenNew(name);
}

bool RecordingFile::Write(const uint8_t* data, std::size_t size) {
  if (fd < 0) return Fail(EBADF);
  const uint64_t room = position < limit ? limit - position : 0;
  const std::size_t allowed = size < room ? size : static_cast<std::size_t>(room);
  std::size_t done = 0;
  while (done < allowed) {
    const ssize_t n = ::write(fd, data + done, allowed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  position += done;
  if (position > end) end = position;
  if (done == size) return true;
  if (done == allowed && allowed < size) error = ENOSPC;
  return false;
}

bool RecordingFile::WriteAt(const uint8_t* data, std::size_t size, uint64_t at) {
  if (fd < 0) return Fail(EBADF);
  if (at + size > limit) return Fail(ENOSPC);
  const ssize_t n = ::pwrite(fd, data, size, static_cast<off_t>(at));
  if (n != static_cast<ssize_t>(size)) return Fail(n < 0 ? errno : ENOSPC);
  if (at + size > end) end = at + size;
  return true;
}

bool RecordingFile::ReadAt(uint8_t* data, std::size_t size, uint64_t at) const {
  return fd >= 0 && ::pread(fd, data, size, static_cast<off_t>(at)) == static_cast<ssize_t>(size);
}

int64_t RecordingFile::Seek(int64_t offset, int whence) {
  if (fd < 0) return -1;
  const off_t at = ::lseek(fd, static_cast<off_t>(offset), whence);
  if (at < 0) {
    error = errno;
    return -1;
  }
  position = static_cast<uint64_t>(at);
  return at;
}

bool RecordingFile::CutTo(uint64_t size) {
  if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0) return Fail(fd < 0 ? EBADF : errno);
  end = size;
  return Seek(static_cast<int64_t>(size), SEEK_SET) >= 0;
}

int RecordingFile::Duplicate() const { return fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }

void RecordingFile::Sync() const {
  if (fd >= 0) ::fsync(fd);
}

void RecordingFile::Close() {
  if (fd < 0) return;
  ::close(fd);
  fd = -1;
}

void RecordingFile::Discard() {
  if (fd < 0) return;
  // Only the file made here goes: not one that took its name in the meantime.
  struct stat made {
  }, named{};
  const bool same = ::fstat(fd, &made) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                    made.st_dev == named.st_dev && made.st_ino == named.st_ino;
  Close();
  if (same) ::unlink(path.c_str());
}

std::optional<uint64_t> RecordingFile::FreeBytes() const {
  std::optional<uint64_t> free = FreeDiskBytes(path);
  if (limit != UINT64_MAX) {
    const uint64_t left = end < limit ? limit - end : 0;
    if (!free || *free > left) free = left;
  }
  return free;
}

}  // namespace kelmo
