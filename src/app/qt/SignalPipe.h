#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace kelmo {

// Brings SIGTERM, SIGINT, SIGHUP and SIGQUIT to the user-interface thread: the handler only writes
// a byte into a pipe, and the notifier reads it in the event loop and emits `terminate`.
class SignalPipe : public QObject {
  Q_OBJECT

 public:
  explicit SignalPipe(QObject* parent = nullptr);
  ~SignalPipe() override;

 signals:
  void terminate(int signal);

 private:
  void Drain();

  std::unique_ptr<QSocketNotifier> notifier;
};

}  // namespace kelmo
