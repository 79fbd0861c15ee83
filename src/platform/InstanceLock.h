#pragma once

#include <functional>
#include <string>

namespace kelmo {

// What a start found when it asked for the lock.
struct InstanceLockOutcome {
  enum class State {
    Acquired,   // this process is the first copy and holds the lock
    OtherCopy,  // a running copy holds it and has shown its window: end without a word
    Failed,     // no lock could be taken, or the running copy did not answer: `reason` says
  };
  State state = State::Acquired;
  std::string reason;
};

// One running copy per user. The first start takes the lock and listens; a later start finds the
// lock taken, asks the first copy to show its window, and ends.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;

  // User-interface thread, once, before any window exists. Waits a few seconds at most for a
  // running copy to answer. A lock that cannot be created, or a copy that holds the lock but does
  // not answer, is Failed: the caller tells the user and ends with an error.
  [[nodiscard]] virtual InstanceLockOutcome Acquire() = 0;

  // User-interface thread. `raise` runs on the user-interface thread each time a later start asks
  // this copy to show its window.
  virtual void OnRaiseRequest(std::function<void()> raise) = 0;

  // User-interface thread. Gives the lock up (also done by the destructor); a later start becomes
  // the first copy.
  virtual void Release() = 0;
};

}  // namespace kelmo
