#include "platform/qt/LocalInstanceLock.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

namespace kelmo {
namespace {

constexpr int kRaiseWaitMs = 800;  // a second start ends within a second, reached or not

// One copy per user and data folder: a second start with another --data-dir runs beside the
// first. The folder is named by a short hash of its canonical path (socket paths are short).
QString InstanceName(const std::filesystem::path& dataDir) {
  const QString custom = qEnvironmentVariable("KELMO_INSTANCE");
  if (!custom.isEmpty()) return custom;
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(dataDir, error);
  const QByteArray folder = QByteArray::fromStdString((error ? dataDir : canonical).string());
  const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
  return QStringLiteral("Kelmo%1-%2").arg(getuid()).arg(QString::fromLatin1(hash.left(12)));
}

QString RuntimeDir() {
  const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !dir.isEmpty() && QDir(dir).exists() ? dir : QDir::tempPath();
}

}  // namespace

LocalInstanceLock::LocalInstanceLock(const std::filesystem::path& dataDir)
    : base(RuntimeDir() + '/' + InstanceName(dataDir)) {}

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
