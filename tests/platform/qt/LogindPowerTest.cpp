#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/LogindPower.h"
#include "platform/sim/RecordingPower.h"

namespace kelmo {
namespace {

constexpr int kWaitMs = 10000;

// A private bus of this test's own with python-dbusmock's logind on it (its calls logged to a
// file), both stopped at the end whatever happened.
class LogindPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    daemon.start("dbus-daemon",
                 {"--session", "--nofork", "--print-address=1", "--address=" + address});
    ASSERT_TRUE(daemon.waitForReadyRead(kWaitMs)) << "dbus-daemon did not start";
    probe = QDBusConnection::connectToBus(address, "probe");
    ASSERT_TRUE(probe.isConnected());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    logind.setProcessEnvironment(env);
    logind.start("/usr/bin/python3", {"-m", "dbusmock", "--template", "logind", "--logfile",
                                      dir.filePath("logind.log")});
    ASSERT_TRUE(LogindThere(true)) << "the logind mock did not come up";
  }
  void TearDown() override {
    for (QProcess* p : {&logind, &daemon}) {
      p->kill();
      p->waitForFinished(kWaitMs);
    }
    QDBusConnection::disconnectFromBus("probe");
  }

  bool LogindThere(bool there) {
    return QTest::qWaitFor(
        [&] { return probe.interface()->isServiceRegistered(kLogind).value() == there; }, kWaitMs);
  }
  QDBusMessage Manager(const char* interface, const char* method) {
    return QDBusMessage::createMethodCall(kLogind, "/org/freedesktop/login1", interface, method);
  }
  // Waits until logind holds exactly these locks ("what who why mode"; a closed one goes when it
  // notices).
  bool LocksBecome(const QStringList& expected) {
    return QTest::qWaitFor(
        [&] {
          QStringList locks;
          const QDBusMessage reply =
              probe.call(Manager("org.freedesktop.login1.Manager", "ListInhibitors"));
          const auto arg = reply.arguments().value(0).value<QDBusArgument>();
          arg.beginArray();
          while (!arg.atEnd()) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            arg.beginStructure();
            arg >> what >> who >> why >> mode >> uid >> pid;
            arg.endStructure();
            locks.append(QStringList{what, who, why, mode}.join(' '));
          }
          arg.endArray();
          return locks == expected;
        },
        kWaitMs);
  }
  // The calls logind received, one line each ("<time> PowerOff False").
  QString CallLog() const {
    QFile log(dir.filePath("logind.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
  }

  static constexpr const char* kLogind = "org.freedesktop.login1";
  QTemporaryDir dir;
  QString address = "unix:path=" + dir.filePath("bus");
  QProcess daemon;
  QProcess logind;
  QDBusConnection probe{QString("probe")};
  RecordingPower command;  // the fallback
};

TEST_F(LogindPowerTest, LockAndPowerOffThroughLogindAndTheCommandWhenItRefusesOrIsGone) {
  LogindPower power(command, address);
  ASSERT_TRUE(power.Inhibit("Recording due at 21:30").Ok());
  EXPECT_TRUE(LocksBecome({"sleep:idle Kelmo Recording due at 21:30 block"}));
  // A new reason replaces the lock; the same one again asks nothing.
  ASSERT_TRUE(power.Inhibit("Recording Kelmo.07_21.30.avi").Ok());
  ASSERT_TRUE(power.Inhibit("Recording Kelmo.07_21.30.avi").Ok());
  EXPECT_TRUE(LocksBecome({"sleep:idle Kelmo Recording Kelmo.07_21.30.avi block"}));
  ASSERT_TRUE(power.Inhibit("").Ok());
  EXPECT_TRUE(LocksBecome({}));

  EXPECT_TRUE(power.Shutdown().Ok());
  EXPECT_TRUE(CallLog().contains(" PowerOff False\n")) << CallLog().toStdString();  // unasked
  EXPECT_EQ(command.ShutdownCount(), 0);

  const QDBusMessage refuse =
      probe.call(Manager("org.freedesktop.DBus.Mock", "AddMethod")
                 << "org.freedesktop.login1.Manager"
                 << "PowerOff"
                 << "b"
                 << ""
                 << "raise dbus.exceptions.DBusException('Operation denied', "
                    "name='org.freedesktop.DBus.Error.AccessDenied')");
  ASSERT_NE(refuse.type(), QDBusMessage::ErrorMessage) << refuse.errorMessage().toStdString();
  const PowerResult refused = power.Shutdown();
  EXPECT_EQ(refused.kind, PowerResult::Kind::Refused);
  EXPECT_NE(refused.detail.find("Operation denied"), std::string::npos) << refused.detail;
  EXPECT_EQ(command.ShutdownCount(), 1);

  logind.kill();
  ASSERT_TRUE(LogindThere(false));
  EXPECT_EQ(power.Shutdown().kind, PowerResult::Kind::Absent);
  EXPECT_EQ(command.ShutdownCount(), 2);
  EXPECT_EQ(power.Inhibit("Recording due at 21:30").kind, PowerResult::Kind::Absent);
}

}  // namespace
}  // namespace kelmo
