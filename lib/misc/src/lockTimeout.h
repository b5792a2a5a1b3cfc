#pragma once
// The process-wide bound on lock waits. Negative (the default) waits without limit; a wait
// that exceeds a non-negative bound ends the process through programAbort.

#include <chrono>
#include <mutex>

namespace misc {

float lockTimeout();
void setLockTimeout(float seconds);

// The bound as a duration; only meaningful when lockTimeout() >= 0.
std::chrono::milliseconds lockTimeoutDuration();

// The abort report of a lock entry that outlasted the bound, naming the caller. Returns only
// while another abort is in progress.
void abortEnterTimedOut(const char* file, int line);

// Enters a timed mutex within the bound, or aborts naming the caller. When an abort is
// already in progress the entry carries on without a bound.
template <class TimedMutex>
void timedEnter(TimedMutex& mutex, const char* file, int line) {
  if (lockTimeout() < 0) {
    mutex.lock();
    return;
  }
  if (mutex.try_lock_for(lockTimeoutDuration())) return;
  abortEnterTimedOut(file, line);
  mutex.lock();
}

}  // namespace misc
