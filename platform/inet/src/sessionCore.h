#pragma once
// What a session's handles share: the libcurl multi handle that runs their transfers, the
// lock under which all of it is used, the queue of status notifications, and in an
// asynchronous session the thread that drives the transfers. Internal to the layer.
//
// The lock: a caller announces itself (waiters), wakes the session's thread out of its
// poll and takes the mutex; the thread gives the mutex up whenever a caller waits. So a
// caller that holds the lock may drive the transfers itself, in either mode.
// Notifications are delivered with the mutex released: by the session's thread
// (asynchronous) or by the caller when its SessionLock ends (synchronous).

#include <curl/curl.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/inet/src/statusInfo.h"

namespace platform::inet::internal {

class Transfer;

class SessionCore : public std::enable_shared_from_this<SessionCore> {
 public:
  SessionCore(std::string userAgent, bool async);
  ~SessionCore();
  SessionCore(const SessionCore&) = delete;
  SessionCore& operator=(const SessionCore&) = delete;

  // Makes the multi handle and, when asynchronous, the thread; false with the last error.
  bool start();
  // Stops the thread and drops every transfer; the handles fail from then on.
  void close();

  bool async() const { return async_; }
  const std::string& userAgent() const { return userAgent_; }

  // Used through SessionLock.
  void lockForCall();
  void unlockAfterCall();
  void deliverQueued();

  // The rest under the lock.
  bool closed() const { return closed_; }
  void setCallback(StatusCallback callback) { callback_ = std::move(callback); }
  bool add(Transfer& transfer);
  void remove(Transfer& transfer);
  // Queues a notification for a handle with a context; a failure's server reply goes with it.
  void queue(const StatusInfo& info, std::wstring reply = {});
  void forget(std::uint32_t handle);
  // Runs the transfers until `done` holds. Every transfer ends by itself (time limits), so
  // a condition that includes the end of a transfer is always reached.
  void driveUntil(const std::function<bool()>& done);

 private:
  struct Notification {
    StatusInfo info;
    std::wstring reply;
  };
  struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };

  void perform();
  int pollMs() const;
  void run();
  bool takeNotification(Notification& next);
  void deliver(const Notification& notification, const StatusCallback& callback);

  const std::string userAgent_;
  const bool async_;
  std::unique_ptr<CURLM, MultiDeleter> multi_;
  std::mutex mutex_;
  std::mutex gateMutex_;
  std::condition_variable gate_;
  int waiters_ = 0;  // under gateMutex_
  bool stopping_ = false;
  bool closed_ = false;
  std::thread thread_;
  StatusCallback callback_;
  std::deque<Notification> queue_;
  std::set<Transfer*> running_;
};

}  // namespace platform::inet::internal
