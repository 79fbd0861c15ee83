#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <memory>

#include "platform/InstanceLock.h"

namespace kelmo {

// A lock file and a local socket, both named "Kelmo" plus the user id (or KELMO_INSTANCE), in the
// user's private runtime folder (Qt's runtime location: $XDG_RUNTIME_DIR, or a folder of the
// user's own under the temporary folder), which must be a folder of this user that nobody else
// may enter; so no other user can take the name first. The lock file is taken first; a lock left
// by a killed copy is stale and taken over, and its socket file is removed before listening.
class LocalInstanceLock final : public InstanceLock {
 public:
  LocalInstanceLock();
  ~LocalInstanceLock() override;

  InstanceLockOutcome Acquire() override;
  void OnRaiseRequest(std::function<void()> raise) override;
  void Release() override;

  QString LockPath() const { return base + ".lock"; }
  QString SocketPath() const { return base + ".socket"; }

 private:
  // True when the running copy answered that it showed its window.
  bool AskFirstCopyToRaise();

  QString folderProblem;  // why the runtime folder cannot hold the lock; empty when it can
  QString base;
  std::unique_ptr<QLockFile> lock;
  std::unique_ptr<QLocalServer> server;
  std::function<void()> raise;
};

}  // namespace kelmo
