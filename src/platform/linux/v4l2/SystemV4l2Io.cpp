#include "platform/linux/v4l2/SystemV4l2Io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

namespace kelmo {

namespace {

// Repeats a call that a signal interrupted; turns -1 into -errno.
template <typename Call>
auto Retrying(Call call) {
  for (;;) {
    const auto result = call();
    if (result >= 0) return result;
    if (errno != EINTR) return static_cast<decltype(result)>(-errno);
  }
}

}  // namespace

int SystemV4l2Io::Open(const std::string& path, int flags) {
  return Retrying([&] { return ::open(path.c_str(), flags | O_CLOEXEC); });
}

int SystemV4l2Io::Close(int fd) {
  // close is not repeated after EINTR: on Linux the descriptor is gone either way.
  return ::close(fd) == 0 ? 0 : -errno;
}

int SystemV4l2Io::Ioctl(int fd, unsigned long request, void* arg) {
  return Retrying([&] { return ::ioctl(fd, request, arg); });
}

ssize_t SystemV4l2Io::Read(int fd, void* buffer, std::size_t size) {
  return Retrying([&] { return ::read(fd, buffer, size); });
}

ssize_t SystemV4l2Io::Write(int fd, const void* buffer, std::size_t size) {
  return Retrying([&] { return ::write(fd, buffer, size); });
}

void* SystemV4l2Io::Mmap(std::size_t length, int prot, int flags, int fd, off_t offset) {
  void* address = ::mmap(nullptr, length, prot, flags, fd, offset);
  return address == MAP_FAILED ? nullptr : address;
}

int SystemV4l2Io::Munmap(void* address, std::size_t length) {
  return ::munmap(address, length) == 0 ? 0 : -errno;
}

int SystemV4l2Io::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
  const int result = ::poll(fds, count, timeoutMs);
  return result >= 0 ? result : -errno;
}

std::vector<std::string> SystemV4l2Io::ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::optional<std::string> SystemV4l2Io::ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace kelmo
