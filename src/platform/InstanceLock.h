#pragma once

#include <functional>

namespace kelmo {

// One running copy per user. The first start takes the lock and listens; a later start finds the
// lock taken, asks the first copy to show its window, and ends.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;

  // User-interface thread, once, before any window exists. True when this process is the first
  // copy and now holds the lock; false when another copy holds it (that copy has been asked to
  // show its window, if it could be reached within a second). A lock that cannot be created at all
  // counts as held by another copy.
  virtual bool Acquire() = 0;

  // User-interface thread. `raise` runs on the user-interface thread each time a later start asks
  // this copy to show its window.
  virtual void OnRaiseRequest(std::function<void()> raise) = 0;

  // User-interface thread. Gives the lock up (also done by the destructor); a later start becomes
  // the first copy.
  virtual void Release() = 0;
};

}  // namespace kelmo
