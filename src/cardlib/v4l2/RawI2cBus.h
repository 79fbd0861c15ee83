#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/linux/v4l2/V4l2Io.h"

namespace kelmo::v4l2card {

// The card's own I2C bus through i2c-dev, for cards whose kernel tuner type is wrong: the bytes
// reach the tuner as the program wrote them. Chosen only by KELMO_RAW_I2C=1, because it goes
// behind the kernel's tuner driver, which may program the tuner again at any time (opening the
// radio device, changing the TV standard) and overwrite what was written here.
class RawI2cBus {
 public:
  using Report = std::function<void(const std::string& key, const std::string& text)>;

  RawI2cBus(V4l2Io& io, Report report) : io(io), report(std::move(report)) {}
  ~RawI2cBus() { Close(); }
  RawI2cBus(const RawI2cBus&) = delete;
  RawI2cBus& operator=(const RawI2cBus&) = delete;

  // Opens the bus of the card whose video node is `videoPath` ("/dev/video0"): the adapter named
  // "bt848 #", "bt849 #", "bt878 #" or "bt879 #" ... among the card's own devices in sysfs, else
  // the first such adapter. False (reported) when there is none or it cannot be opened.
  bool Open(const std::string& videoPath);
  void Close();
  bool IsOpen() const { return fd >= 0; }
  // The adapter in use ("/dev/i2c-1"), empty when closed.
  const std::string& Path() const { return path; }

  // One write transaction: address byte (8-bit, write form) and data bytes. False when it failed.
  bool Write(uint8_t address, std::span<const uint8_t> data);
  // One byte read at `address` (8-bit, read form); 0xFF, as from an empty bus, when it failed.
  uint8_t Read(uint8_t address);

 private:
  bool Select(uint8_t address);

  V4l2Io& io;
  Report report;
  int fd = -1;
  std::string path;
};

// True for an i2c-dev adapter name of a Bt848-family card ("bt878 #0 [sw]").
bool IsBt848AdapterName(const std::string& name);

}  // namespace kelmo::v4l2card
