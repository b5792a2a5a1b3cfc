#pragma once
// Running AsyncHttp transfers and the wait until one of them is done for good. The pool,
// not the transfer, follows redirects (up to networkSettings().maxRedirects, 5) and
// repeats transfers that ended with a retryable error (up to maxAutoRetries, 2): a
// transfer is tried at most three times and follows at most five redirects of its own;
// redirects that the Internet layer follows itself do not count.
//
// Ownership: the pool does not own its members; whoever created them deletes them, after
// wait() has handed them back or after the pool is gone. One thread at a time uses a pool.

#include <cstddef>
#include <set>
#include <span>
#include <string>

namespace platform {
class Event;
}

namespace net {

class AsyncHttp;

class AsyncHttpPool {
 public:
  enum WaitStatus {
    kEmpty = 0,        // no member and no extra event: nothing to wait for
    kFinished = 1,     // `finished` is done for good and no longer in the pool
    kExtraEvent = 2,   // extra event number `*index` is set
    kTimedOut = 3,     // the time limit passed
    kNoneFinished = 4  // an event was set but no member reports itself finished
  };

  AsyncHttpPool() = default;
  virtual ~AsyncHttpPool() = default;  // forgets the members
  AsyncHttpPool(const AsyncHttpPool&) = delete;
  AsyncHttpPool& operator=(const AsyncHttpPool&) = delete;

  // Adds `http` and runs it at once; in a synchronous session it has finished on return.
  void add(AsyncHttp* http);

  // Waits for the extra events (listed first) and the members' finished events, at most
  // `timeoutSeconds` in all (negative: no limit; 0: only looks). A member that ended with
  // a retryable error is restarted while its retries last, one whose response redirects is
  // restarted at the absolute target while redirects last ("Too many redirects." ends it
  // after that), and the wait goes on. A member finished for good is returned; when it was
  // redirected, its response's redirect is the last target (permanent when any step was).
  // Throws misc::wruntime_error "Unexpected wait status (AsyncHttpPool): <n>" for a wait
  // result outside the events.
  int wait(std::span<platform::Event* const> extra, AsyncHttp*& finished, double timeoutSeconds,
           std::size_t* index = nullptr);

 private:
  // True when `http` was restarted for a retry or a redirect.
  bool restarted(AsyncHttp& http, const std::wstring& message, bool retryable);

  std::set<AsyncHttp*> members_;
};

}  // namespace net
