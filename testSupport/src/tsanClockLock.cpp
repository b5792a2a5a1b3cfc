// Linked into the test programs of the ThreadSanitizer build only. That sanitizer (as in
// GCC 12 and LLVM before 18) does not intercept pthread_mutex_clocklock, which the timed
// mutexes' try_lock_for calls: it would miss every lock taken within a bound, then report
// its unlock as "unlock of an unlocked mutex" and lose the ordering the lock gives. This
// definition takes the C library's place in the program and waits in pthread_mutex_timedlock,
// which the sanitizer sees, for the same deadline moved to the wall clock.
#include <pthread.h>
#include <time.h>

namespace {

constexpr long long kNanosPerSecond = 1000000000LL;

long long nanoseconds(const timespec& t) {
  return t.tv_sec * kNanosPerSecond + t.tv_nsec;
}

}  // namespace

extern "C" int pthread_mutex_clocklock(pthread_mutex_t* __restrict mutex, clockid_t clock,
                                       const timespec* __restrict deadline) noexcept {
  if (clock == CLOCK_REALTIME) return pthread_mutex_timedlock(mutex, deadline);
  timespec now{}, wall{};
  clock_gettime(clock, &now);
  clock_gettime(CLOCK_REALTIME, &wall);
  const long long at = nanoseconds(wall) + nanoseconds(*deadline) - nanoseconds(now);
  const timespec onWall{static_cast<time_t>(at / kNanosPerSecond),
                        static_cast<long>(at % kNanosPerSecond)};
  return pthread_mutex_timedlock(mutex, &onWall);
}
