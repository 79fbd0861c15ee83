#include "cardlib/v4l2/RawI2cBus.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace kelmo::v4l2card {

namespace {

constexpr const char* kAdapterPrefixes[] = {"bt848 #", "bt849 #", "bt878 #", "bt879 #"};

std::optional<unsigned> AdapterNumber(const std::string& entry) {
  if (entry.size() < 5 || entry.compare(0, 4, "i2c-") != 0) return std::nullopt;
  unsigned n = 0;
  for (std::size_t i = 4; i < entry.size(); ++i) {
    if (entry[i] < '0' || entry[i] > '9' || n > 100000) return std::nullopt;
    n = n * 10 + static_cast<unsigned>(entry[i] - '0');
  }
  return n;
}

// The Bt848-family adapters among the "i2c-N" entries of a sysfs folder, by number.
std::vector<unsigned> Bt848Adapters(V4l2Io& io, const std::string& folder) {
  std::vector<unsigned> found;
  for (const std::string& entry : io.ListDirectory(folder)) {
    const auto n = AdapterNumber(entry);
    if (!n) continue;
    const auto name = io.ReadTextFile("/sys/class/i2c-dev/" + entry + "/name");
    if (name && IsBt848AdapterName(*name)) found.push_back(*n);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::string Node(const std::string& videoPath) {
  const auto slash = videoPath.rfind('/');
  return slash == std::string::npos ? videoPath : videoPath.substr(slash + 1);
}

}  // namespace

bool IsBt848AdapterName(const std::string& name) {
  for (const char* prefix : kAdapterPrefixes) {
    if (name.starts_with(prefix)) return true;
  }
  return false;
}

bool RawI2cBus::Open(const std::string& videoPath) {
  Close();
  // The card's adapter hangs below the card's PCI device, beside its video node's device link.
  auto adapters = Bt848Adapters(io, "/sys/class/video4linux/" + Node(videoPath) + "/device");
  if (adapters.empty()) adapters = Bt848Adapters(io, "/sys/class/i2c-dev");
  if (adapters.empty()) {
    report("raw-i2c", "KELMO_RAW_I2C: no bt848/bt878 I2C adapter (is i2c-dev loaded?)");
    return false;
  }
  const std::string adapter = "/dev/i2c-" + std::to_string(adapters.front());
  const int opened = io.Open(adapter, O_RDWR);
  if (opened < 0) {
    report("raw-i2c", "KELMO_RAW_I2C: " + adapter + ": " + std::strerror(-opened));
    return false;
  }
  fd = opened;
  path = adapter;
  return true;
}

void RawI2cBus::Close() {
  if (fd >= 0) io.Close(fd);
  fd = -1;
  path.clear();
}

bool RawI2cBus::Select(uint8_t address) {
  // FORCE: the kernel's tuner driver holds the address; this path exists to go around it.
  const int result =
      io.Ioctl(fd, I2C_SLAVE_FORCE, reinterpret_cast<void*>(static_cast<uintptr_t>(address >> 1)));
  if (result < 0) {
    report(path + " I2C_SLAVE_FORCE", path + ": I2C_SLAVE_FORCE: " + std::strerror(-result));
    return false;
  }
  return true;
}

bool RawI2cBus::Write(uint8_t address, std::span<const uint8_t> data) {
  if (fd < 0 || !Select(address)) return false;
  const ssize_t written = io.Write(fd, data.data(), data.size());
  if (written != static_cast<ssize_t>(data.size())) {
    report(path + " write", path + ": write: " +
                                (written < 0 ? std::strerror(static_cast<int>(-written))
                                             : std::string("short write")));
    return false;
  }
  return true;
}

uint8_t RawI2cBus::Read(uint8_t address) {
  uint8_t byte = 0xFF;
  if (fd < 0 || !Select(address)) return 0xFF;
  const ssize_t got = io.Read(fd, &byte, 1);
  if (got != 1) {
    report(path + " read",
           path + ": read: " +
               (got < 0 ? std::strerror(static_cast<int>(-got)) : std::string("nothing read")));
    return 0xFF;
  }
  return byte;
}

}  // namespace kelmo::v4l2card
