#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo::test {

// One tuner of a fake device: what VIDIOC_G_TUNER reports and the frequency it is set to.
struct FakeTuner {
  v4l2_tuner info{};       // index, name, type, capability (CAP_LOW ...), range, signal
  uint32_t frequency = 0;  // in the tuner's units (62.5 kHz, or 62.5 Hz with CAP_LOW)
};

// One control of a fake device (V4L2_CID_*), with its range and value.
struct FakeControl {
  int32_t minimum = 0;
  int32_t maximum = 1;
  int32_t step = 1;
  int32_t defaultValue = 0;
  int32_t value = 0;
};

// One device node of the fake kernel (/dev/video0, /dev/radio0, /dev/i2c-1).
struct FakeDevice {
  std::string path;
  bool radio = false;     // a radio node: its tuner is V4L2_TUNER_RADIO
  v4l2_capability cap{};  // what VIDIOC_QUERYCAP answers
  std::vector<FakeTuner> tuners;
  std::vector<v4l2_input> inputs;  // .status carries V4L2_IN_ST_NO_SIGNAL / NO_H_LOCK
  uint32_t input = 0;
  std::vector<v4l2_audio> audios;  // the card's audio inputs, empty when it has no ENUMAUDIO
  uint32_t audio = 0;
  v4l2_std_id std = 0;
  std::map<uint32_t, FakeControl> controls;

  // Fault switches: open(2) fails with this errno (0: opens); an ioctl fails with the errno mapped
  // to its request code.
  int openError = 0;
  std::map<unsigned long, int> ioctlErrors;

  // An i2c-dev adapter: the slave address set by I2C_SLAVE_FORCE and every write and read as
  // (7-bit address, bytes); reads answer `readByte`.
  bool i2c = false;
  int slave = -1;
  std::vector<std::pair<int, std::vector<uint8_t>>> i2cWrites;
  std::vector<int> i2cReads;
  uint8_t readByte = 0;

  // Between a successful VIDIOC_STREAMON and VIDIOC_STREAMOFF (or the close): S_INPUT and S_FMT
  // are refused with EBUSY, as the drivers refuse them.
  bool streaming = false;

  // Requests the fake does not model (streaming, formats) go here when set; -ENOTTY otherwise.
  std::function<int(unsigned long request, void* arg)> otherIoctl;
};

// A kernel with a few V4L2 and i2c-dev device nodes, behind the same interface as the real one.
// Models what the drivers do for capabilities, tuners (type checked against the node, frequencies
// clamped to the tuner's range), inputs, audio inputs, standards and controls; faults are switched
// on per device; a streaming device refuses a new input or format. Thread-safe. Streaming
// requests (buffers, formats) go to a device's otherIoctl;
// Mmap hands out zeroed memory of the size asked, which Munmap takes back.
class FakeV4l2Kernel final : public V4l2Io {
 public:
  // A bare node; fill in the rest through the reference (valid while the kernel lives).
  FakeDevice& AddDevice(const std::string& path);
  // A Bt878 TV card as bttv presents it: /dev/video<n> (tuner in 62.5 kHz units, inputs
  // "Television", "Composite1", "S-Video", mute control) on bus `bus`, and /dev/radio<n> (tuner in
  // 62.5 Hz units, CAP_LOW) on the same bus when `withRadio`. Returns the video node.
  FakeDevice& AddTvCard(int n, const std::string& bus, bool withRadio = true);
  // A camera: /dev/video<n> that captures, without a tuner.
  FakeDevice& AddCamera(int n, const std::string& bus);
  // An i2c-dev adapter /dev/i2c-<n> named `name` in /sys/class/i2c-dev/i2c-<n>/name, which
  // ReadTextFile reads and ListDirectory lists.
  FakeDevice& AddI2cAdapter(int n, const std::string& name);

  FakeDevice& Device(const std::string& path) {
    std::lock_guard lock(mutex);
    return *devices.at(path);
  }
  // Descriptors open now; mappings made by Mmap and not yet released.
  int OpenCount() const {
    std::lock_guard lock(mutex);
    return static_cast<int>(open.size());
  }
  int MappingCount() const {
    std::lock_guard lock(mutex);
    return static_cast<int>(mappings.size());
  }
  // Every ioctl since the last call as "path NAME" lines ("/dev/video0 VIDIOC_S_FREQUENCY").
  std::vector<std::string> TakeCalls() {
    std::lock_guard lock(mutex);
    return std::exchange(calls, {});
  }

  ~FakeV4l2Kernel() override;

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

 private:
  FakeDevice* DeviceOf(int fd);
  int HandleLocked(FakeDevice& d, unsigned long request, void* arg);
  ssize_t Transfer(int fd, uint8_t* in, const uint8_t* out, std::size_t size);

  mutable std::mutex mutex;
  std::map<std::string, std::unique_ptr<FakeDevice>> devices;
  std::map<std::string, std::string> files;
  std::map<int, FakeDevice*> open;
  int nextFd = 3;
  std::map<void*, std::size_t> mappings;
  std::vector<std::string> calls;
};

}  // namespace kelmo::test
