#include "lib/misc/src/criticalSectionLock.h"

#include "lib/misc/src/lockTimeout.h"

namespace misc {

void CriticalSectionLock::lock(const char* file, int line) {
  timedEnter(mutex_, file, line);
  ++count_;
  file_ = file;
  line_ = line;
}

void CriticalSectionLock::unlock(const char*, int) {
  file_ = nullptr;
  line_ = 0;
  --count_;
  mutex_.unlock();
}

ScopedCriticalSection::ScopedCriticalSection(CriticalSectionLock* lock, const char* file, int line)
    : lock_(lock), file_(file), line_(line) {
  if (lock_) lock_->lock(file_, line_);
}

ScopedCriticalSection::~ScopedCriticalSection() {
  if (lock_) lock_->unlock(file_, line_);
}

}  // namespace misc
