#pragma once
// The process-wide bound on lock waits. Negative (the default) waits without limit; a wait
// that exceeds a non-negative bound ends the process through programAbort.

#include <chrono>
#include <mutex>

#include "lib/misc/src/programAbort.h"
#include "lib/misc/src/textConversion.h"

namespace misc {

float lockTimeout();
void setLockTimeout(float seconds);

// The bound as a duration; only meaningful when lockTimeout() >= 0.
std::chrono::milliseconds lockTimeoutDuration();

// Enters a timed mutex within the bound, or aborts naming the caller. When an abort is
// already in progress the entry carries on without a bound.
template <class TimedMutex>
void timedEnter(TimedMutex& mutex, const char* file, int line) {
  if (lockTimeout() < 0) {
    mutex.lock();
    return;
  }
  if (mutex.try_lock_for(lockTimeoutDuration())) return;
  programAbort(L"EnterCriticalSection() timed out: " + fromAnsi(file ? file : "") + L":" +
                   std::to_wstring(line),
               __FILE__, __LINE__);
  mutex.lock();
}

}  // namespace misc
