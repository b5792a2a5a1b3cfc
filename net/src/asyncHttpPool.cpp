#include "net/src/asyncHttpPool.h"

#include <algorithm>
#include <vector>

#include "lib/log/src/log.h"
#include "lib/misc/src/stopWatch.h"
#include "lib/misc/src/wruntimeError.h"
#include "net/src/asyncHttp.h"
#include "net/src/istring.h"
#include "net/src/msgGroups.h"
#include "net/src/networkSettings.h"
#include "platform/src/event.h"
#include "win32tools/src/istring.h"

namespace net {
namespace {

// The wait in milliseconds for what is left of the time limit; -1 waits without one.
long remainingMs(double timeoutSeconds, const misc::CStopWatch& clock) {
  if (timeoutSeconds < 0) return -1;
  const double left = timeoutSeconds > 0 ? std::max(0.0, timeoutSeconds - clock.elapsed()) : 0.0;
  return static_cast<long>(std::min(left * 1000.0, 1e12));
}

}  // namespace

void AsyncHttpPool::add(AsyncHttp* http) {
  members_.insert(http);
  http->run();
}

int AsyncHttpPool::wait(std::span<platform::Event* const> extra, AsyncHttp*& finished,
                        double timeoutSeconds, std::size_t* index) {
  finished = nullptr;
  if (members_.empty() && extra.empty()) return kEmpty;
  misc::CStopWatch clock;
  clock.start();
  for (;;) {
    std::vector<platform::Event*> events(extra.begin(), extra.end());
    for (AsyncHttp* member : members_) events.push_back(&member->getFinishedEvent());
    const int signalled = platform::waitAny(events, remainingMs(timeoutSeconds, clock));
    if (signalled == platform::kWaitTimedOut) return kTimedOut;
    if (signalled < 0 || static_cast<std::size_t>(signalled) >= events.size()) {
      throw misc::wruntime_error(win32tools::internal::istring(11222).format(
          L"AsyncHttpPool", std::to_wstring(signalled)));
    }
    if (static_cast<std::size_t>(signalled) < extra.size()) {
      if (index != nullptr) *index = static_cast<std::size_t>(signalled);
      return kExtraEvent;
    }
    std::wstring message;
    bool retryable = false;
    AsyncHttp* done = nullptr;
    for (AsyncHttp* member : members_) {
      if (member->isFinished(&message, &retryable)) {
        done = member;
        break;
      }
    }
    if (done == nullptr) return kNoneFinished;
    members_.erase(done);
    if (restarted(*done, message, retryable)) continue;
    finished = done;
    return kFinished;
  }
}

bool AsyncHttpPool::restarted(AsyncHttp& http, const std::wstring& message, bool retryable) {
  misc::ScopedWriteLock guard(&http.lock_, __FILE__, __LINE__);
  if (retryable && http.retryCount_ < http.maxRetries_) {
    ++http.retryCount_;
    PG_LOG(internal::asyncHttpAutoRetryGroup())
        << L"Auto-retrying AsyncHttp (" << http.retryCount_ << L"/" << http.maxRetries_ << L"): "
        << http.request_.printed() << L" (" << message << L")";
    http.reset(false);
    add(&http);
    return true;
  }
  std::wstring target;
  bool permanent = false;
  HttpResponse* response = http.response_.get();
  // The target is absolute already: AsyncHttp resolved the Location when it arrived.
  if (response != nullptr && response->getRedirect(target, permanent)) {
    http.lastRedirectUrl_ = target;
    if (permanent) http.permanentRedirect_ = true;
    const std::int32_t limit = networkSettings().maxRedirects;
    if (limit < 1 || http.redirectCount_ < limit) {
      http.reset(false);
      ++http.redirectCount_;
      http.url_ = target;
      add(&http);
      return true;
    }
    http.end(internal::istring(11516), false);
    return false;
  }
  if (response != nullptr && http.redirectCount_ > 0) {
    response->setRedirect(http.lastRedirectUrl_, http.permanentRedirect_);
  }
  return false;
}

}  // namespace net
