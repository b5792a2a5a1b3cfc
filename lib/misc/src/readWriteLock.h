#pragma once
// A re-entrant reader/writer lock.
//
// - Several readers proceed together; a writer excludes readers and other writers.
// - The writer may take the write lock again (counted) and may take read locks.
// - A thread holding read locks gets the write lock when no other thread holds one; two
//   threads that both hold read locks and both ask to write wait for each other forever,
//   which callers must avoid.
// - Every read unlock wakes waiting writers, so no wake-up is lost.
// - Waits are bounded by the process-wide lock timeout (lockTimeout.h).

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "lib/misc/src/sourceLocation.h"

namespace misc {

class ReadWriteLock {
 public:
  ReadWriteLock();
  ReadWriteLock(const ReadWriteLock&) = delete;
  ReadWriteLock& operator=(const ReadWriteLock&) = delete;

  // Returns the calling thread's id.
  std::uint32_t writeLock(const char* file, int line);
  void writeUnlock(const char* file, int line);
  void readLock(const char* file, int line);
  // Releasing a read lock the thread does not hold changes nothing.
  void readUnlock(const char* file, int line);

  // Diagnostics.
  std::uint32_t owner() const;
  int writeCount() const;
  std::size_t readerSlots() const;  // outstanding read locks plus released inner slots
  const char* writeFile() const;
  int writeLine() const;

 private:
  using StateLock = std::unique_lock<std::timed_mutex>;

  bool freeForWriter(std::uint32_t thread) const;
  void waitForWriter(StateLock& state, std::uint32_t me, const char* file, int line);
  void waitForReaders(StateLock& state);

  mutable std::timed_mutex state_;
  std::condition_variable_any changed_;
  std::uint32_t owner_ = 0;
  int count_ = 0;
  std::vector<std::uint32_t> readers_;  // one entry per read lock; 0 marks a released slot
  const char* file_ = nullptr;
  int line_ = 0;
};

// Hold a ReadWriteLock for a scope; a null lock does nothing.
class ScopedReadLock {
 public:
  ScopedReadLock(ReadWriteLock* lock, const char* file, int line);
  ~ScopedReadLock();
  ScopedReadLock(const ScopedReadLock&) = delete;
  ScopedReadLock& operator=(const ScopedReadLock&) = delete;

 private:
  ReadWriteLock* lock_;
  const char* file_;
  int line_;
};

class ScopedWriteLock {
 public:
  ScopedWriteLock(ReadWriteLock* lock, const char* file, int line);
  ~ScopedWriteLock();
  ScopedWriteLock(const ScopedWriteLock&) = delete;
  ScopedWriteLock& operator=(const ScopedWriteLock&) = delete;

 private:
  ReadWriteLock* lock_;
  const char* file_;
  int line_;
};

}  // namespace misc
