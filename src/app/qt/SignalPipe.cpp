#include "app/qt/SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace kelmo {
namespace {

int pipeFds[2] = {-1, -1};  // written by the signal handler, which can reach nothing else

// A closed terminal or an ended session (SIGHUP) and a quit key (SIGQUIT) end the program as
// SIGTERM does: the recording is finished and the settings are saved.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

void OnSignal(int signal) {
  const unsigned char byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] ssize_t n = write(pipeFds[1], &byte, 1);
}

}  // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent) {
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
  connect(notifier.get(), &QSocketNotifier::activated, this, &SignalPipe::Drain);
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int signal : kSignals) sigaction(signal, &sa, nullptr);
}

SignalPipe::~SignalPipe() {
  for (int number : kSignals) signal(number, SIG_DFL);
  notifier.reset();
  for (int& fd : pipeFds) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

void SignalPipe::Drain() {
  unsigned char byte = 0;
  while (read(pipeFds[0], &byte, 1) == 1) emit terminate(byte);
}

}  // namespace kelmo
