#pragma once

#include <QDBusConnection>
#include <QString>
#include <string>

#include "platform/Power.h"

namespace kelmo {

// The system's power management through systemd-logind on the system bus: PowerOff, which
// respects other programs' block inhibitors and the desktop's policy, and a "sleep:idle" block
// inhibitor lock held by keeping the file descriptor logind hands out open. When logind refuses
// the power-off or cannot be reached, `fallback` (the shutdown command) is asked instead and the
// result says so. User-interface thread.
class LogindPower final : public Power {
 public:
  // `busAddress`: the system bus to use; empty for the one DBUS_SYSTEM_BUS_ADDRESS names, else the
  // standard socket.
  explicit LogindPower(Power& fallback, const QString& busAddress = {});
  ~LogindPower() override;
  LogindPower(const LogindPower&) = delete;
  LogindPower& operator=(const LogindPower&) = delete;

  PowerResult Shutdown() override;
  PowerResult Inhibit(const std::string& why) override;

  // The bus address used, for the list of backends.
  const QString& BusAddress() const { return address; }

 private:
  QDBusConnection Bus();
  void Release();

  Power& fallback;
  QString address;
  QString connectionName;
  int lockFd = -1;
  std::string heldReason;
};

}  // namespace kelmo
