#pragma once

#include <poll.h>
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kelmo {

// The kernel calls through which the program and the real card library reach video, radio and
// i2c-dev device nodes. Every open, ioctl, read, write, mapping and poll of those devices goes
// through one object of this kind, so that everything above it runs against a fake kernel in the
// tests (there is no capture card on a build machine). SystemV4l2Io is the real kernel.
//
// Failures come back as a negative errno value (-ENOENT, -EBUSY, ...) rather than through the
// thread's errno, so a fake can answer them without touching global state. An implementation may
// be called from any thread; one descriptor is used by one thread at a time.
class V4l2Io {
 public:
  virtual ~V4l2Io() = default;

  // Opens a device node with open(2) flags (O_RDWR, O_NONBLOCK, ...); O_CLOEXEC is always added.
  // A descriptor (>= 0), or -errno.
  virtual int Open(const std::string& path, int flags) = 0;
  // Closes a descriptor; 0 or -errno.
  virtual int Close(int fd) = 0;
  // One ioctl with its argument block (VIDIOC_*, I2C_SLAVE_FORCE, ...); an interrupted call is
  // repeated. The ioctl's own result (>= 0), or -errno.
  virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
  // read(2) / write(2): the byte count, or -errno.
  virtual ssize_t Read(int fd, void* buffer, std::size_t size) = 0;
  virtual ssize_t Write(int fd, const void* buffer, std::size_t size) = 0;
  // Maps `length` bytes of a device's buffer at `offset` (as VIDIOC_QUERYBUF gives it): the
  // address, or nullptr on failure.
  virtual void* Mmap(std::size_t length, int prot, int flags, int fd, off_t offset) = 0;
  // Releases a mapping made by Mmap; 0 or -errno.
  virtual int Munmap(void* address, std::size_t length) = 0;
  // Waits up to `timeoutMs` (-1: no limit) for the events asked in `fds`: the number of ready
  // descriptors, 0 on time-out, or -errno.
  virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;

  // The names in a folder ("/dev", "/sys/class/i2c-dev"), in no particular order; empty when the
  // folder cannot be read.
  virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
  // A small text file such as a sysfs attribute, with its trailing newline removed; nothing when
  // it cannot be read.
  virtual std::optional<std::string> ReadTextFile(const std::string& path) = 0;
};

// The name of a V4L2 or i2c-dev request code ("VIDIOC_S_FREQUENCY"), or its number in hex, for
// messages.
std::string V4l2RequestName(unsigned long request);

}  // namespace kelmo
