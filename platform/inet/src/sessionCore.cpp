#include "platform/inet/src/sessionCore.h"

#include <algorithm>

#include "platform/inet/src/failure.h"
#include "platform/inet/src/inetConstants.h"
#include "platform/inet/src/transfer.h"
#include "platform/src/lastResponseInfo.h"

namespace platform::inet::internal {
namespace {

// The longest a poll sleeps; libcurl's own timers shorten it. While transfers run, their
// abort checks (libcurl's progress callback, run by each perform) are asked this often.
constexpr int kIdlePollMs = 1000;
constexpr int kRunningPollMs = 200;

bool initialiseCurl() {
  static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ok;
}

}  // namespace

SessionCore::SessionCore(std::string userAgent, bool async)
    : userAgent_(std::move(userAgent)), async_(async) {}

SessionCore::~SessionCore() {
  close();
}

bool SessionCore::start() {
  if (!initialiseCurl()) return fail(ERROR_INTERNET_INTERNAL_ERROR);
  multi_.reset(curl_multi_init());
  if (!multi_) return fail(ERROR_NOT_ENOUGH_MEMORY);
  if (async_) {
    try {
      // The thread keeps the core alive, so a session closed from its own callback is safe.
      thread_ = std::thread([self = shared_from_this()] { self->run(); });
    } catch (const std::system_error&) {
      return fail(ERROR_INTERNET_INTERNAL_ERROR);
    }
  }
  return true;
}

void SessionCore::close() {
  if (!multi_) return;
  if (thread_.joinable()) {
    lockForCall();
    stopping_ = true;
    unlockAfterCall();
    curl_multi_wakeup(multi_.get());
    if (thread_.get_id() == std::this_thread::get_id()) {
      thread_.detach();
    } else {
      thread_.join();
    }
  }
  lockForCall();
  while (!running_.empty()) remove(**running_.begin());
  queue_.clear();
  closed_ = true;
  unlockAfterCall();
}

void SessionCore::lockForCall() {
  {
    const std::lock_guard gate(gateMutex_);
    ++waiters_;
  }
  // Only the session's thread sleeps in a poll without the mutex; a synchronous caller
  // that drives holds it throughout, so waking it would only cost a write per call.
  if (async_ && multi_) curl_multi_wakeup(multi_.get());
  mutex_.lock();
}

void SessionCore::unlockAfterCall() {
  mutex_.unlock();
  {
    const std::lock_guard gate(gateMutex_);
    --waiters_;
  }
  gate_.notify_all();
}

bool SessionCore::takeNotification(Notification& next) {
  if (queue_.empty()) return false;
  next = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void SessionCore::deliverQueued() {
  for (;;) {
    Notification next;
    StatusCallback callback;
    lockForCall();
    const bool found = takeNotification(next);
    if (found) callback = callback_;
    unlockAfterCall();
    if (!found) return;
    deliver(next, callback);
  }
}

void SessionCore::deliver(const Notification& notification, const StatusCallback& callback) {
  if (!callback) return;
  if (notification.info.error == ERROR_INTERNET_EXTENDED_ERROR) {
    platform::setLastResponseInfo(notification.reply);
  }
  try {
    callback(notification.info);
  } catch (...) {
    // Nothing may escape into the transport; the callback reports its own failures.
  }
}

bool SessionCore::add(Transfer& transfer) {
  if (curl_multi_add_handle(multi_.get(), transfer.easy()) != CURLM_OK) {
    return fail(ERROR_INTERNET_INTERNAL_ERROR);
  }
  running_.insert(&transfer);
  transfer.setRunning(true);
  return true;
}

void SessionCore::remove(Transfer& transfer) {
  if (!transfer.running()) return;
  curl_multi_remove_handle(multi_.get(), transfer.easy());
  running_.erase(&transfer);
  transfer.setRunning(false);
}

void SessionCore::queue(const StatusInfo& info, std::wstring reply) {
  if (info.context == 0 || closed_) return;
  queue_.push_back({info, std::move(reply)});
}

void SessionCore::forget(std::uint32_t handle) {
  std::erase_if(queue_, [handle](const Notification& n) { return n.info.handle == handle; });
}

void SessionCore::perform() {
  int running = 0;
  curl_multi_perform(multi_.get(), &running);
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    const CURLcode result = message->data.result;
    char* owner = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
    Transfer& transfer = *reinterpret_cast<Transfer*>(owner);
    remove(transfer);
    transfer.finish(result);
  }
}

int SessionCore::pollMs() const {
  return running_.empty() ? kIdlePollMs : kRunningPollMs;
}

void SessionCore::driveUntil(const std::function<bool()>& done) {
  while (!closed_ && !done()) {
    perform();
    if (done()) return;
    curl_multi_poll(multi_.get(), nullptr, 0, pollMs(), nullptr);
  }
}

void SessionCore::run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    perform();
    Notification next;
    if (takeNotification(next)) {
      const StatusCallback callback = callback_;
      lock.unlock();
      deliver(next, callback);
      lock.lock();
      continue;
    }
    std::unique_lock gate(gateMutex_);
    if (waiters_ > 0) {
      lock.unlock();
      gate_.wait(gate, [this] { return waiters_ == 0; });
      gate.unlock();
      lock.lock();
      continue;
    }
    gate.unlock();
    curl_multi_poll(multi_.get(), nullptr, 0, pollMs(), nullptr);
  }
}

}  // namespace platform::inet::internal
