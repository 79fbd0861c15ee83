#include <gtest/gtest.h>
#include <stdlib.h>

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

constexpr int kStartMs = 10000;

// A private bus of this test's own with python-dbusmock's logind on it, both stopped at the end
// whatever happened.
class LogindPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    address = "unix:path=" + dir.filePath("bus");
    daemon.start("dbus-daemon",
                 {"--session", "--nofork", "--print-address=1", "--address=" + address});
    ASSERT_TRUE(daemon.waitForStarted(kStartMs));
    ASSERT_TRUE(daemon.waitForReadyRead(kStartMs)) << "dbus-daemon printed no address";
    probe = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "probe"));
    ASSERT_TRUE(probe->isConnected());
    StartLogind();
  }

  void StartLogind() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", address);
    logind.setProcessEnvironment(env);
    logind.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    logind.start("/usr/bin/python3", {"-m", "dbusmock", "--template", "logind", "--logfile",
                                      dir.filePath("logind.log")});
    ASSERT_TRUE(logind.waitForStarted(kStartMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return probe->interface()->isServiceRegistered("org.freedesktop.login1").value(); },
        kStartMs))
        << "the logind mock did not come up";
  }

  void TearDown() override {
    for (QProcess* p : {&logind, &daemon}) {
      p->kill();
      p->waitForFinished(kStartMs);
    }
    probe.reset();
    QDBusConnection::disconnectFromBus("probe");
  }

  QDBusMessage Call(const char* interface, const char* method) {
    return probe->call(QDBusMessage::createMethodCall(
        "org.freedesktop.login1", "/org/freedesktop/login1", interface, method));
  }

  // "what who why mode" of each lock logind holds.
  QStringList Inhibitors() {
    const QDBusMessage reply = Call("org.freedesktop.login1.Manager", "ListInhibitors");
    QStringList locks;
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
    return locks;
  }
  // Waits for logind to see the locks that are held (a closed one goes when it notices).
  bool InhibitorsBecome(const QStringList& expected) {
    return QTest::qWaitFor([&] { return Inhibitors() == expected; }, kStartMs);
  }

  // The calls logind received, one line each ("<time> PowerOff False").
  QString CallLog() const {
    QFile log(dir.filePath("logind.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
  }

  QTemporaryDir dir;
  QString address;
  QProcess daemon;
  QProcess logind;
  std::unique_ptr<QDBusConnection> probe;
  RecordingPower command;  // the fallback
};

TEST_F(LogindPowerTest, TheSleepLockComesChangesAndGoesAndPowerOffIsAsked) {
  LogindPower power(command, address);
  ASSERT_TRUE(power.Inhibit("Recording due at 21:30").Ok());
  EXPECT_TRUE(InhibitorsBecome({"sleep:idle Kelmo Recording due at 21:30 block"}))
      << Inhibitors().join('|').toStdString();
  // A new reason replaces the lock; the same one asks nothing.
  ASSERT_TRUE(power.Inhibit("Recording Kelmo.07_21.30.avi").Ok());
  ASSERT_TRUE(power.Inhibit("Recording Kelmo.07_21.30.avi").Ok());
  EXPECT_TRUE(InhibitorsBecome({"sleep:idle Kelmo Recording Kelmo.07_21.30.avi block"}))
      << Inhibitors().join('|').toStdString();
  ASSERT_TRUE(power.Inhibit("").Ok());
  EXPECT_TRUE(InhibitorsBecome({}));

  EXPECT_TRUE(power.Shutdown().Ok());
  EXPECT_TRUE(CallLog().contains(" PowerOff False\n"))
      << CallLog().toStdString();  // not interactive
  EXPECT_EQ(command.ShutdownCount(), 0);
}

TEST_F(LogindPowerTest, ARefusedOrAbsentLogindIsToldAndTheCommandRunsInstead) {
  LogindPower power(command, address);
  const QDBusMessage refuse = probe->call(
      QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.DBus.Mock", "AddMethod")
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
  logind.waitForFinished(kStartMs);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return !probe->interface()->isServiceRegistered("org.freedesktop.login1").value(); },
      kStartMs));
  const PowerResult absent = power.Shutdown();
  EXPECT_EQ(absent.kind, PowerResult::Kind::Absent) << absent.detail;
  EXPECT_EQ(command.ShutdownCount(), 2);
  EXPECT_EQ(power.Inhibit("Recording due at 21:30").kind, PowerResult::Kind::Absent);
}

}  // namespace
}  // namespace kelmo
