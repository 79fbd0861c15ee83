#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/qt/LocalInstanceLock.h"

namespace kelmo {
namespace {

// Even when XDG_RUNTIME_DIR names a folder others may write (where another user could take the
// name first), the lock lives in a folder of this user's that nobody else may enter. A copy that
// holds the lock but does not answer (this process: its event loop is not running) is reported
// instead of ending the start silently.
TEST(LocalInstanceLock, LivesInAPrivateFolderAndACopyThatDoesNotAnswerIsReported) {
  QTemporaryDir shared;
  ASSERT_TRUE(QFile::setPermissions(shared.path(), QFile::Permissions(0x7777)));
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared.path()));
  qputenv("KELMO_INSTANCE", "kelmo-lock-" + QByteArray::number(QCoreApplication::applicationPid()));
  LocalInstanceLock first;
  LocalInstanceLock second;
  runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
  qunsetenv("KELMO_INSTANCE");

  const QString folder = QFileInfo(first.LockPath()).path();
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 0777) == 0700)
      << folder.toStdString();
  ASSERT_EQ(first.Acquire().state, InstanceLockOutcome::State::Acquired);
  const InstanceLockOutcome outcome = second.Acquire();
  EXPECT_EQ(outcome.state, InstanceLockOutcome::State::Failed);
  EXPECT_NE(outcome.reason.find("does not answer"), std::string::npos) << outcome.reason;
  first.Release();
  EXPECT_EQ(second.Acquire().state, InstanceLockOutcome::State::Acquired);
}

}  // namespace
}  // namespace kelmo
