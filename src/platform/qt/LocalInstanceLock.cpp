#include "platform/qt/LocalInstanceLock.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>

namespace kelmo {
namespace {

constexpr int kRaiseWaitMs = 800;  // a second start ends within a second, reached or not

QString InstanceName() {
  const QString custom = qEnvironmentVariable("KELMO_INSTANCE");
  return custom.isEmpty() ? QStringLiteral("Kelmo%1").arg(getuid()) : custom;
}

QString RuntimeDir() {
  const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !dir.isEmpty() && QDir(dir).exists() ? dir : QDir::tempPath();
}

}  // namespace

LocalInstanceLock::LocalInstanceLock() : base(RuntimeDir() + '/' + InstanceName()) {}

LocalInstanceLock::~LocalInstanceLock() { Release(); }

bool LocalInstanceLock::Acquire() {
  lock = std::make_unique<QLockFile>(LockPath());
  lock->setStaleLockTime(0);  // stale only when its process is gone, however old
  if (!lock->tryLock(0)) {
    lock.reset();
    AskFirstCopyToRaise();
    return false;
  }
  server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(SocketPath());  // a socket file left by a killed copy
  if (server->listen(SocketPath())) {
    QObject::connect(server.get(), &QLocalServer::newConnection, [this] {
      while (QLocalSocket* peer = server->nextPendingConnection()) {
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (raise) raise();
      }
    });
  }
  return true;
}

void LocalInstanceLock::AskFirstCopyToRaise() {
  QLocalSocket socket;
  socket.connectToServer(SocketPath());
  if (!socket.waitForConnected(kRaiseWaitMs)) return;
  socket.write("raise\n");
  socket.waitForBytesWritten(kRaiseWaitMs);
  socket.disconnectFromServer();
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
