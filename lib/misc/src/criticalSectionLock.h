#pragma once

#include <cstdint>
#include <mutex>

#include "lib/misc/src/sourceLocation.h"

namespace misc {

// A recursive mutex that remembers where it was last taken, for diagnosis.
class CriticalSectionLock {
 public:
  CriticalSectionLock() = default;
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  void lock(const char* file, int line);
  void unlock(const char* file, int line);

  // Diagnostics; meaningful only to the thread that holds the lock.
  int recursionCount() const { return count_; }
  const char* lockFile() const { return file_; }
  int lockLine() const { return line_; }

 private:
  std::recursive_timed_mutex mutex_;
  int count_ = 0;
  const char* file_ = nullptr;
  int line_ = 0;
};

// Holds a CriticalSectionLock for a scope; a null lock does nothing.
class ScopedCriticalSection {
 public:
  ScopedCriticalSection(CriticalSectionLock* lock, const char* file, int line);
  ~ScopedCriticalSection();
  ScopedCriticalSection(const ScopedCriticalSection&) = delete;
  ScopedCriticalSection& operator=(const ScopedCriticalSection&) = delete;

 private:
  CriticalSectionLock* lock_;
  const char* file_;
  int line_;
};

}  // namespace misc
