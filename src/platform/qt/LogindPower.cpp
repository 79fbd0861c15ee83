#include "platform/qt/LogindPower.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QList>
#include <QVariant>
#include <atomic>
#include <cstdlib>

namespace kelmo {
namespace {

constexpr int kCallTimeoutMs = 5000;
const char* const kService = "org.freedesktop.login1";
const char* const kPath = "/org/freedesktop/login1";
const char* const kManager = "org.freedesktop.login1.Manager";

QString SystemBusAddress() {
  if (const char* env = std::getenv("DBUS_SYSTEM_BUS_ADDRESS"); env && *env)
    return QString::fromUtf8(env);
  return "unix:path=/run/dbus/system_bus_socket";
}

// logind is absent when nothing owns its name (or no bus answers); anything else is its refusal.
PowerResult Failure(const QDBusMessage& reply, const char* what) {
  const QString name = reply.errorName();
  const bool absent = name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
                      name == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
                      name == "org.freedesktop.DBus.Error.NoServer" ||
                      name == "org.freedesktop.DBus.Error.Disconnected";
  const std::string reason =
      (reply.errorMessage().isEmpty() ? name : reply.errorMessage()).toStdString();
  if (absent)
    return {PowerResult::Kind::Absent,
            std::string("The system's power manager (logind) is not there to ") + what + " (" +
                reason + ")."};
  return {
      PowerResult::Kind::Refused,
      std::string("The system's power manager (logind) refused to ") + what + ": " + reason + "."};
}

}  // namespace

LogindPower::LogindPower(Power& fallback, const QString& busAddress)
    : fallback(fallback), address(busAddress.isEmpty() ? SystemBusAddress() : busAddress) {
  static std::atomic<int> next{0};
  connectionName = QString("kelmo-logind-%1").arg(next++);
}

LogindPower::~LogindPower() {
  Release();
  QDBusConnection::disconnectFromBus(connectionName);
}

QDBusConnection LogindPower::Bus() {
  QDBusConnection bus(connectionName);
  if (bus.isConnected()) return bus;
  // A connection that failed or broke is dropped, so a bus that comes up later is found.
  QDBusConnection::disconnectFromBus(connectionName);
  return QDBusConnection::connectToBus(address, connectionName);
}

PowerResult LogindPower::Shutdown() {
  QDBusConnection bus = Bus();
  PowerResult result;
  if (!bus.isConnected()) {
    result = {PowerResult::Kind::Absent, "The system bus cannot be reached (" +
                                             bus.lastError().message().toStdString() + ")."};
  } else {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, "PowerOff");
    call << false;  // not interactive: nobody may be there to type a password
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) return {};
    result = Failure(reply, "shut the computer down");
  }
  const PowerResult command = fallback.Shutdown();
  result.detail += command.Ok() ? " The shutdown command was run instead."
                                : " The shutdown command failed too: " + command.detail;
  return result;
}

PowerResult LogindPower::Inhibit(const std::string& why) {
  if (why.empty()) {
    Release();
    return {};
  }
  if (lockFd >= 0 && why == heldReason) return {};
  QDBusConnection bus = Bus();
  if (!bus.isConnected()) {
    Release();
    return {PowerResult::Kind::Absent,
            "The system bus cannot be reached (" + bus.lastError().message().toStdString() + ")."};
  }
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, "Inhibit");
  call << QString("sleep:idle") << QString("Kelmo") << QString::fromStdString(why)
       << QString("block");
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  // The new lock is in hand before the old one goes, so the computer is never unguarded between.
  int fd = -1;
  if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
    const auto handle = reply.arguments().front().value<QDBusUnixFileDescriptor>();
    if (handle.isValid()) fd = fcntl(handle.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
  }
  Release();
  if (fd < 0) {
    if (reply.type() == QDBusMessage::ErrorMessage)
      return Failure(reply, "keep the computer awake");
    return {PowerResult::Kind::Refused, "The system's power manager (logind) gave no lock."};
  }
  lockFd = fd;
  heldReason = why;
  return {};
}

void LogindPower::Release() {
  if (lockFd >= 0) ::close(lockFd);
  lockFd = -1;
  heldReason.clear();
}

}  // namespace kelmo
