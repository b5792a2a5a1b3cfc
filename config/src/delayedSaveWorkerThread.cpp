#include "config/src/delayedSaveWorkerThread.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "config/src/exception.h"
#include "config/src/istring.h"
#include "config/src/store.h"
#include "lib/log/src/log.h"

namespace config::internal {
namespace {

msgGroup delayedSaveGroup(L"ConfigDelayedSave");

// Made during static initialisation and never destroyed: stores that are themselves static
// may still ask it at exit.
[[maybe_unused]] DelayedSaveWorkerThread& eagerInstance = DelayedSaveWorkerThread::instance();

std::wstring codeText(const std::system_error& e) {
  return std::to_wstring(e.code().value());
}

}  // namespace

DelayedSaveWorkerThread& DelayedSaveWorkerThread::instance() {
  static auto* worker = new DelayedSaveWorkerThread;
  return *worker;
}

DelayedSaveWorkerThread::DelayedSaveWorkerThread() = default;

DelayedSaveWorkerThread::~DelayedSaveWorkerThread() {
  try {
    stop();
  } catch (const std::exception& e) {
    PG_LOG_ALWAYS() << misc::exceptionText(e);
  }
}

bool DelayedSaveWorkerThread::isRunning() {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return thread_ != nullptr && !finished_;
}

void DelayedSaveWorkerThread::queueSave(Store& store, std::time_t dueTime) {
  if (!isRunning()) throw Exception(istring(13408));
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  if (!saveAtOnce_) {
    PG_LOG(delayedSaveGroup) << L"Queuing Store for delayed save (now="
                             << static_cast<long long>(std::time(nullptr)) << L"): "
                             << static_cast<long long>(dueTime) << L" " << store.getName();
  }
  std::unique_ptr<DeferSave> token = store.allocDeferSave();
  token->force = true;
  if (saveAtOnce_) {
    store.releaseDeferSave(token.get());
    return;
  }
  queue_.push_back({dueTime, std::move(token)});
  queueEvent_.set();
}

void DelayedSaveWorkerThread::start() {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  if (thread_ && !finished_) return;
  if (thread_) thread_->join();  // ended on its own; nothing left to wait for
  thread_.reset();
  stopEvent_.reset();
  finished_ = false;
  try {
    thread_ = std::make_unique<std::thread>(&DelayedSaveWorkerThread::run, this);
  } catch (const std::system_error& e) {
    throw Exception(istring(13403).format(codeText(e)));
  }
}

void DelayedSaveWorkerThread::stop() {
  std::unique_ptr<std::thread> thread;
  {
    misc::ScopedWriteLock lock(&lock_, PG_HERE);
    thread = std::move(thread_);
    if (!thread) return;
    stopEvent_.set();
  }
  // Joined without the lock: the worker takes it on its way out.
  try {
    thread->join();
  } catch (const std::system_error& e) {
    throw Exception(istring(13404).format(codeText(e)));
  }
}

void DelayedSaveWorkerThread::setSaveAtOnce(bool saveAtOnce) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  saveAtOnce_ = saveAtOnce;
}

void DelayedSaveWorkerThread::forgetStore(const Store& store) {
  while (true) {
    {
      misc::ScopedWriteLock lock(&lock_, PG_HERE);
      std::erase_if(queue_, [&](const Entry& e) { return e.token->store == &store; });
      if (releasing_ != &store) return;
    }
    idleEvent_.wait(-1);
  }
}

void DelayedSaveWorkerThread::run() {
  platform::Event* events[] = {&stopEvent_, &queueEvent_};
  long waitMs = releaseDueSaves();
  while (platform::waitAny(events, waitMs) != 0) waitMs = releaseDueSaves();
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  finished_ = true;
}

long DelayedSaveWorkerThread::releaseDueSaves() {
  long waitMs = -1;
  while (std::unique_ptr<DeferSave> token = takeDueToken(waitMs)) {
    release(*token);
    misc::ScopedWriteLock lock(&lock_, PG_HERE);
    releasing_ = nullptr;
    idleEvent_.set();
  }
  return waitMs;
}

std::unique_ptr<DeferSave> DelayedSaveWorkerThread::takeDueToken(long& waitMs) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  const std::time_t now = std::time(nullptr);
  const auto due =
      std::find_if(queue_.begin(), queue_.end(), [&](const Entry& e) { return e.dueTime <= now; });
  if (due != queue_.end()) {
    std::unique_ptr<DeferSave> token = std::move(due->token);
    queue_.erase(due);
    releasing_ = token->store;
    idleEvent_.reset();
    return token;
  }
  waitMs = -1;
  for (const Entry& e : queue_) {
    const long ms = static_cast<long>(e.dueTime - now) * 1000;
    if (waitMs < 0 || ms < waitMs) waitMs = ms;
  }
  return nullptr;
}

// Runs without the worker's lock: releasing saves, and a save takes the store's lock.
void DelayedSaveWorkerThread::release(DeferSave& token) {
  try {
    token.store->releaseDeferSave(&token);
  } catch (const std::exception& e) {
    PG_LOG_ALWAYS() << istring(13409).format(misc::exceptionText(e));
  } catch (...) {
    PG_LOG_ALWAYS() << istring(13410);
  }
}

}  // namespace config::internal
