#include "base/DeviceError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelmo {

DeviceError DeviceError::FromErrno(int code, std::string device) {
  const int e = std::abs(code);
  DeviceErrorKind kind = DeviceErrorKind::Io;
  if (e == EBUSY || e == EAGAIN)
    kind = DeviceErrorKind::Busy;
  else if (e == ENOENT || e == ENODEV || e == ENXIO)
    kind = DeviceErrorKind::NotPresent;
  else if (e == EACCES || e == EPERM)
    kind = DeviceErrorKind::Permission;
  else if (e == EINVAL || e == ERANGE || e == ENOTTY)
    kind = DeviceErrorKind::FormatNotSupported;
  return {kind, std::move(device), std::strerror(e)};
}

DeviceError DeviceError::OfKind(DeviceErrorKind kind, std::string device) {
  static constexpr int kCodes[] = {0, EBUSY, ENOENT, EINVAL, EACCES, EIO};
  if (kind == DeviceErrorKind::None) return Ok();
  return {kind, std::move(device), std::strerror(kCodes[static_cast<int>(kind)])};
}

std::string DeviceError::Text() const {
  const std::string why = systemText.empty() ? "" : " (" + systemText + ")";
  switch (kind) {
    case DeviceErrorKind::None:
      return {};
    case DeviceErrorKind::Busy:
      return device + " is in use by another program.";
    case DeviceErrorKind::NotPresent:
      return device + " is not there: the device was removed or never existed" + why + ".";
    case DeviceErrorKind::FormatNotSupported:
      return device + " cannot work in the format asked for" + why + ".";
    case DeviceErrorKind::Permission:
      return device + " may not be opened by this user" + why +
             ": the user must be in the device's group (video or audio).";
    case DeviceErrorKind::Io:
      return device + " failed" + why + ".";
  }
  return {};
}

const char* DeviceErrorKindName(DeviceErrorKind kind) {
  switch (kind) {
    case DeviceErrorKind::None:
      return "none";
    case DeviceErrorKind::Busy:
      return "busy";
    case DeviceErrorKind::NotPresent:
      return "not present";
    case DeviceErrorKind::FormatNotSupported:
      return "format not supported";
    case DeviceErrorKind::Permission:
      return "permission";
    case DeviceErrorKind::Io:
      return "I/O";
  }
  return "?";
}

}  // namespace kelmo
