#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <filesystem>
#include <memory>

#include "platform/InstanceLock.h"

namespace kelmo {

// A lock file and a local socket, both named "Kelmo" plus the user id (or KELMO_INSTANCE), in
// $XDG_RUNTIME_DIR (the temporary folder when that is not set). The lock file is taken first; a
// lock left by a killed copy is stale and taken over, and its socket file is removed before
// listening.
class LocalInstanceLock final : public InstanceLock {
 public:
  explicit LocalInstanceLock(const std::filesystem::path& dataDir);
  ~LocalInstanceLock() override;

  bool Acquire() override;
  void OnRaiseRequest(std::function<void()> raise) override;
  void Release() override;

  QString LockPath() const { return base + ".lock"; }
  QString SocketPath() const { return base + ".socket"; }

 private:
  void AskFirstCopyToRaise();

  QString base;
  std::unique_ptr<QLockFile> lock;
  std::unique_ptr<QLocalServer> server;
  std::function<void()> raise;
};

}  // namespace kelmo
