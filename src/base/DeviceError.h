#pragma once

#include <string>

namespace kelmo {

// What went wrong with a device, in the few kinds the user's message and the log tell apart.
enum class DeviceErrorKind {
  None,                // it worked
  Busy,                // another program holds the device
  NotPresent,          // no such device, or it was removed
  FormatNotSupported,  // the device cannot take the format, size or setting asked for
  Permission,          // the user may not open it
  Io,                  // anything else the device or its driver reported
};

// The result of a device operation that can fail: the kind, the device as the user knows it
// ("ALSA capture \"default\"", "BT878 video (/dev/video0)") and the system's own text. A result
// nobody looks at is a fault the user is never told of, so the type cannot be dropped.
struct [[nodiscard]] DeviceError {
  DeviceErrorKind kind = DeviceErrorKind::None;
  std::string device;
  std::string systemText;

  static DeviceError Ok() { return {}; }
  // The kind an errno value stands for (positive or negated), with strerror's text.
  static DeviceError FromErrno(int code, std::string device);
  // A failure of `kind` with the system's text for its usual errno (EBUSY, ENOENT, EINVAL,
  // EACCES, EIO): how the simulated devices fail when a fault switch asks them to.
  static DeviceError OfKind(DeviceErrorKind kind, std::string device);

  bool ok() const { return kind == DeviceErrorKind::None; }

  // One sentence for the user naming the device and the cause: "BT878 video (/dev/video0) is in
  // use by another program."; empty when nothing failed.
  std::string Text() const;
};

// "busy", "not present", ...: the kind as the log names it.
const char* DeviceErrorKindName(DeviceErrorKind kind);

}  // namespace kelmo
