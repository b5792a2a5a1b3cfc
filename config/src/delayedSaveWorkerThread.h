#pragma once
// The process-wide worker that performs postponed saves. Store::save hands it a store with
// a due time; the worker holds a forced DeferSave of that store until the time comes, so
// the store's further automatic saves wait, and releasing the token then writes everything
// at once. Nothing starts the worker unless asked to, and stores save at once while it is
// not running.

#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <thread>

#include "config/src/deferSave.h"
#include "lib/misc/src/readWriteLock.h"
#include "platform/src/event.h"

namespace config {
class Store;
}

namespace config::internal {

class DelayedSaveWorkerThread {
 public:
  static DelayedSaveWorkerThread& instance();

  DelayedSaveWorkerThread();
  // Stops the thread; saves still queued are dropped, not performed.
  ~DelayedSaveWorkerThread();
  DelayedSaveWorkerThread(const DelayedSaveWorkerThread&) = delete;
  DelayedSaveWorkerThread& operator=(const DelayedSaveWorkerThread&) = delete;

  bool isRunning();
  // Postpones a save of `store` until `dueTime` (seconds of std::time). Raises
  // config::Exception when the worker is not running. With saveAtOnce set, saves now.
  void queueSave(Store& store, std::time_t dueTime);

  // Starting a running worker, or stopping a stopped one, does nothing. Queued saves stay
  // queued across a stop and are performed after the next start.
  void start();
  void stop();
  void setSaveAtOnce(bool saveAtOnce);

  // Drops the queued saves of a store that is going away, waiting for one that is being
  // performed right now. The caller must not hold the store's lock.
  void forgetStore(const Store& store);

 private:
  struct Entry {
    std::time_t dueTime;
    std::unique_ptr<DeferSave> token;
  };

  void run();
  // Performs every save whose time has come; returns milliseconds until the next one is
  // due, or -1 when the queue is empty.
  long releaseDueSaves();
  std::unique_ptr<DeferSave> takeDueToken(long& waitMs);
  void release(DeferSave& token);

  misc::ReadWriteLock lock_;
  std::unique_ptr<std::thread> thread_;
  bool finished_ = false;
  std::deque<Entry> queue_;
  platform::Event queueEvent_{platform::Event::Reset::Auto};
  platform::Event stopEvent_{platform::Event::Reset::Manual};
  // Set while no token taken from the queue is being released.
  platform::Event idleEvent_{platform::Event::Reset::Manual, true};
  const Store* releasing_ = nullptr;
  bool saveAtOnce_ = false;
};

}  // namespace config::internal
