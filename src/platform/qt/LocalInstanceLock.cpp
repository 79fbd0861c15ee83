#include "platform/qt/LocalInstanceLock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "base/Log.h"

namespace kelmo {
namespace {

constexpr int kAnswerWaitMs = 3000;  // a running copy that is busy for longer is reported
constexpr char kShown[] = "shown\n";

QString InstanceName() {
  const QString custom = qEnvironmentVariable("KELMO_INSTANCE");
  return custom.isEmpty() ? QStringLiteral("Kelmo%1").arg(getuid()) : custom;
}

// Qt creates its runtime folder 0700 and refuses one of another owner; checked again here, since
// a lock in a folder others may write could be taken by them first.
QString CheckPrivateFolder(const QString& dir) {
  if (dir.isEmpty()) return QStringLiteral("there is no private runtime folder for this user");
  struct stat info {};
  if (::lstat(QFile::encodeName(dir).constData(), &info) != 0)
    return dir + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
  if (!S_ISDIR(info.st_mode)) return dir + QStringLiteral(" is not a folder");
  if (info.st_uid != ::geteuid()) return dir + QStringLiteral(" belongs to another user");
  if ((info.st_mode & 077) != 0) return dir + QStringLiteral(" is open to other users");
  return {};
}

}  // namespace

LocalInstanceLock::LocalInstanceLock() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  folderProblem = CheckPrivateFolder(dir);
  base = dir + '/' + InstanceName();
}

LocalInstanceLock::~LocalInstanceLock() { Release(); }

InstanceLockOutcome LocalInstanceLock::Acquire() {
  using State = InstanceLockOutcome::State;
  if (!folderProblem.isEmpty()) {
    LogError("app", "no single-instance lock: %s", qUtf8Printable(folderProblem));
    return {State::Failed, "The lock that keeps Kelmo to one copy cannot be kept safely: " +
                               folderProblem.toStdString() + "."};
  }
  lock = std::make_unique<QLockFile>(LockPath());
  lock->setStaleLockTime(0);  // stale only when its process is gone, however old
  if (!lock->tryLock(0)) {
    const QLockFile::LockError error = lock->error();
    qint64 pid = 0;
    QString host, app;
    lock->getLockInfo(&pid, &host, &app);
    lock.reset();
    if (error != QLockFile::LockFailedError) {
      LogError("app", "the lock file %s cannot be created", qUtf8Printable(LockPath()));
      return {State::Failed, "The lock file " + LockPath().toStdString() +
                                 " that keeps Kelmo to one copy cannot be created."};
    }
    if (AskFirstCopyToRaise()) return {State::OtherCopy, {}};
    LogError("app", "a running copy (process %lld) holds %s but does not answer",
             static_cast<long long>(pid), qUtf8Printable(LockPath()));
    return {State::Failed, "Kelmo is already running (process " + std::to_string(pid) +
                               "), but it does not answer. End that copy and start again."};
  }
  server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(SocketPath());  // a socket file left by a killed copy
  if (server->listen(SocketPath())) {
    QObject::connect(server.get(), &QLocalServer::newConnection, [this] {
      while (QLocalSocket* peer = server->nextPendingConnection()) {
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        peer->write(kShown);
        peer->flush();
        if (raise) raise();
      }
    });
  } else {
    LogWarning("app", "a second start cannot reach this copy: %s",
               qUtf8Printable(server->errorString()));
  }
  return {State::Acquired, {}};
}

bool LocalInstanceLock::AskFirstCopyToRaise() {
  const QDeadlineTimer deadline(kAnswerWaitMs);
  QLocalSocket socket;
  socket.connectToServer(SocketPath());
  if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) return false;
  socket.write("raise\n");
  // A copy whose window is hung accepts the connection in the kernel but never answers.
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
  }
  return socket.readLine() == kShown;
}

void LocalInstanceLock::OnRaiseRequest(std::function<void()> raise) {
  this->raise = std::move(raise);
}

void LocalInstanceLock::Release() {
  if (server) {
    server->close();
    server.reset();
  }
  if (lock) {
    lock->unlock();
    lock.reset();
  }
}

}  // namespace kelmo
