#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/qt/LocalInstanceLock.h"

namespace kelmo {
namespace {

// Sets an environment variable for the test's span and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value)
      : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() { had ? qputenv(name, old) : qunsetenv(name); }

 private:
  const char* name;
  bool had;
  QByteArray old;
};

// Even when XDG_RUNTIME_DIR names a folder others may write (where another user could take the
// name first), the lock lives in a folder of this user's that nobody else may enter. A copy that
// holds the lock but does not answer (here: this process, whose event loop is not running) is
// reported within a few seconds instead of ending the start silently.
TEST(LocalInstanceLock, LivesInAPrivateFolderAndACopyThatDoesNotAnswerIsReported) {
  QTemporaryDir shared;
  ASSERT_TRUE(QFile::setPermissions(shared.path(), QFile::Permissions(0x7777)));
  ScopedEnv runtime("XDG_RUNTIME_DIR", QFile::encodeName(shared.path()));
  ScopedEnv name("KELMO_INSTANCE",
                 QStringLiteral("kelmo-lock-%1").arg(QCoreApplication::applicationPid()).toUtf8());

  LocalInstanceLock first;
  const QString folder = QFileInfo(first.LockPath()).path();
  EXPECT_FALSE(folder.startsWith(shared.path())) << folder.toStdString();
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_uid, ::geteuid());
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(first.Acquire().state, InstanceLockOutcome::State::Acquired);

  LocalInstanceLock second;
  QElapsedTimer waited;
  waited.start();
  const InstanceLockOutcome outcome = second.Acquire();
  EXPECT_EQ(outcome.state, InstanceLockOutcome::State::Failed);
  EXPECT_NE(outcome.reason.find("does not answer"), std::string::npos) << outcome.reason;
  EXPECT_LT(waited.elapsed(), 10000);
  first.Release();
  EXPECT_EQ(second.Acquire().state, InstanceLockOutcome::State::Acquired);
}

}  // namespace
}  // namespace kelmo
