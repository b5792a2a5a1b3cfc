#include "lib/misc/src/readWriteLock.h"

#include <algorithm>

#include "lib/misc/src/lockTimeout.h"
#include "lib/misc/src/programAbort.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/thread.h"

namespace misc {

ReadWriteLock::ReadWriteLock() {
  readers_.reserve(4);
}

bool ReadWriteLock::freeForWriter(std::uint32_t thread) const {
  return std::all_of(readers_.begin(), readers_.end(),
                     [thread](std::uint32_t r) { return r == 0 || r == thread; });
}

// Waiting for another thread's write lock stands for entering the writer's critical section:
// its bound runs from the first attempt and its abort names the caller.
void ReadWriteLock::waitForWriter(StateLock& state, std::uint32_t me, const char* file, int line) {
  const auto writerGone = [this, me] { return owner_ == 0 || owner_ == me; };
  if (lockTimeout() < 0) {
    changed_.wait(state, writerGone);
    return;
  }
  if (changed_.wait_for(state, lockTimeoutDuration(), writerGone)) return;
  state.unlock();
  abortEnterTimedOut(file, line);
  state.lock();
  changed_.wait(state, writerGone);  // another abort is showing: carry on
}

// A writer waiting for readers stands for the event wait, whose abort names this file.
void ReadWriteLock::waitForReaders(StateLock& state) {
  if (lockTimeout() < 0) {
    changed_.wait(state);
    return;
  }
  if (changed_.wait_for(state, lockTimeoutDuration()) == std::cv_status::no_timeout) return;
  state.unlock();
  const int here = __LINE__;
  programAbort(
      L"WaitForSingleObject() timed out: " + fromAnsi(__FILE__) + L":" + std::to_wstring(here),
      __FILE__, here);
  state.lock();
}

std::uint32_t ReadWriteLock::writeLock(const char* file, int line) {
  const std::uint32_t me = platform::currentThreadId();
  timedEnter(state_, file, line);
  StateLock state(state_, std::adopt_lock);
  // The condition is re-checked after every wake-up; a read unlock between a check and the
  // wait cannot be lost because both happen under the state mutex.
  for (;;) {
    if (owner_ != 0 && owner_ != me) {
      waitForWriter(state, me, file, line);
    } else if (owner_ == 0 && !freeForWriter(me)) {
      waitForReaders(state);
    } else {
      break;
    }
  }
  owner_ = me;
  ++count_;
  file_ = file;
  line_ = line;
  return me;
}

void ReadWriteLock::writeUnlock(const char* file, int line) {
  timedEnter(state_, file, line);
  StateLock state(state_, std::adopt_lock);
  if (owner_ != platform::currentThreadId()) return;
  file_ = nullptr;
  line_ = 0;
  if (--count_ <= 0) {
    count_ = 0;
    owner_ = 0;
    changed_.notify_all();
  }
}

void ReadWriteLock::readLock(const char* file, int line) {
  const std::uint32_t me = platform::currentThreadId();
  timedEnter(state_, file, line);
  StateLock state(state_, std::adopt_lock);
  waitForWriter(state, me, file, line);
  // Reuse a released slot so that out-of-order releases do not grow the list.
  auto freeSlot = std::find(readers_.begin(), readers_.end(), 0u);
  if (freeSlot != readers_.end()) {
    *freeSlot = me;
  } else {
    readers_.push_back(me);
  }
}

void ReadWriteLock::readUnlock(const char* file, int line) {
  const std::uint32_t me = platform::currentThreadId();
  timedEnter(state_, file, line);
  StateLock state(state_, std::adopt_lock);
  auto found = std::find(readers_.rbegin(), readers_.rend(), me);
  if (found == readers_.rend()) return;
  *found = 0;
  while (!readers_.empty() && readers_.back() == 0) readers_.pop_back();
  changed_.notify_all();
}

std::uint32_t ReadWriteLock::owner() const {
  std::lock_guard state(state_);
  return owner_;
}

int ReadWriteLock::writeCount() const {
  std::lock_guard state(state_);
  return count_;
}

std::size_t ReadWriteLock::readerSlots() const {
  std::lock_guard state(state_);
  return readers_.size();
}

const char* ReadWriteLock::writeFile() const {
  std::lock_guard state(state_);
  return file_;
}

int ReadWriteLock::writeLine() const {
  std::lock_guard state(state_);
  return line_;
}

ScopedReadLock::ScopedReadLock(ReadWriteLock* lock, const char* file, int line)
    : lock_(lock), file_(file), line_(line) {
  if (lock_) lock_->readLock(file_, line_);
}

ScopedReadLock::~ScopedReadLock() {
  if (lock_) lock_->readUnlock(file_, line_);
}

ScopedWriteLock::ScopedWriteLock(ReadWriteLock* lock, const char* file, int line)
    : lock_(lock), file_(file), line_(line) {
  if (lock_) lock_->writeLock(file_, line_);
}

ScopedWriteLock::~ScopedWriteLock() {
  if (lock_) lock_->writeUnlock(file_, line_);
}

}  // namespace misc
