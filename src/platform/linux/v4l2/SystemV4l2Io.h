#pragma once

#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo {

// The real kernel: each call is the system call of the same name.
class SystemV4l2Io final : public V4l2Io {
 public:
  int Open(const std::string& path, int flags) override;
  int Close(int fd) override;
  int Ioctl(int fd, unsigned long request, void* arg) override;
  ssize_t Read(int fd, void* buffer, std::size_t size) override;
  ssize_t Write(int fd, const void* buffer, std::size_t size) override;
  void* Mmap(std::size_t length, int prot, int flags, int fd, off_t offset) override;
  int Munmap(void* address, std::size_t length) override;
  int Poll(pollfd* fds, nfds_t count, int timeoutMs) override;
  std::vector<std::string> ListDirectory(const std::string& path) override;
  std::optional<std::string> ReadTextFile(const std::string& path) override;
};

}  // namespace kelmo
