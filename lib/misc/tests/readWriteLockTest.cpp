#include "lib/misc/src/readWriteLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <thread>
#include <vector>

#include "platform/src/thread.h"

using misc::ReadWriteLock;
using namespace std::chrono_literals;

namespace {

// Runs `f` on another thread; the returned future tells whether it has finished.
template <class F>
std::future<void> onOtherThread(F f) {
  return std::async(std::launch::async, std::move(f));
}

// Takes and releases a write lock on another thread.
std::future<void> writerOnOtherThread(ReadWriteLock& lock) {
  return onOtherThread([&lock] {
    lock.writeLock(PG_HERE);
    lock.writeUnlock(PG_HERE);
  });
}

bool finishesSoon(std::future<void>& f) {
  return f.wait_for(5s) == std::future_status::ready;
}
bool stillBlocked(std::future<void>& f) {
  return f.wait_for(50ms) == std::future_status::timeout;
}

}  // namespace

TEST(ReadWriteLockTest, NestedWriteKeepsOwnerUntilLastReleaseAndBlocksReaders) {
  ReadWriteLock lock;
  EXPECT_EQ(lock.writeLock(PG_HERE), platform::currentThreadId());
  lock.writeLock("second.cpp", 7);
  EXPECT_EQ(lock.writeCount(), 2);
  EXPECT_STREQ(lock.writeFile(), "second.cpp");
  EXPECT_EQ(lock.writeLine(), 7);

  std::atomic<bool> read{false};
  auto reader = onOtherThread([&] {
    lock.readLock(PG_HERE);
    read = true;
    lock.readUnlock(PG_HERE);
  });
  lock.writeUnlock(PG_HERE);
  EXPECT_EQ(lock.owner(), platform::currentThreadId());
  EXPECT_EQ(lock.writeFile(), nullptr) << "file and line are cleared on release";
  EXPECT_TRUE(stillBlocked(reader));
  EXPECT_FALSE(read);

  lock.writeUnlock(PG_HERE);
  EXPECT_EQ(lock.owner(), 0u);
  ASSERT_TRUE(finishesSoon(reader));
  EXPECT_TRUE(read);
}

TEST(ReadWriteLockTest, WriterWaitsForOtherReaderAndProceedsWhenItLeaves) {
  ReadWriteLock lock;
  lock.readLock(PG_HERE);
  auto writer = writerOnOtherThread(lock);
  EXPECT_TRUE(stillBlocked(writer));
  lock.readUnlock(PG_HERE);
  EXPECT_TRUE(finishesSoon(writer));
}

TEST(ReadWriteLockTest, SoleReaderUpgradesAtOnceAndWriterMayRead) {
  ReadWriteLock lock;
  lock.readLock(PG_HERE);
  lock.writeLock(PG_HERE);  // would hang if the own read lock counted against it
  lock.readLock(PG_HERE);   // a writer may take read locks
  lock.readUnlock(PG_HERE);
  lock.writeUnlock(PG_HERE);
  lock.readUnlock(PG_HERE);
  EXPECT_EQ(lock.readerSlots(), 0u);
  EXPECT_EQ(lock.owner(), 0u);
}

TEST(ReadWriteLockTest, UnlockingAReadLockNotHeldChangesNothing) {
  ReadWriteLock lock;
  lock.readLock(PG_HERE);
  std::thread([&] { lock.readUnlock(PG_HERE); }).join();
  EXPECT_EQ(lock.readerSlots(), 1u);
  auto writer = writerOnOtherThread(lock);
  EXPECT_TRUE(stillBlocked(writer)) << "the foreign unlock must not have released our lock";
  lock.readUnlock(PG_HERE);
  EXPECT_TRUE(finishesSoon(writer));
}

TEST(ReadWriteLockTest, ReadersReleasedInTakingOrderLeaveTheLockFree) {
  ReadWriteLock lock;
  std::promise<void> firstTaken, secondTaken, releaseFirst, releaseSecond;
  std::thread a([&] {
    lock.readLock(PG_HERE);
    firstTaken.set_value();
    releaseFirst.get_future().wait();
    lock.readUnlock(PG_HERE);
  });
  firstTaken.get_future().wait();
  std::thread b([&] {
    lock.readLock(PG_HERE);
    secondTaken.set_value();
    releaseSecond.get_future().wait();
    lock.readUnlock(PG_HERE);
  });
  secondTaken.get_future().wait();
  releaseFirst.set_value();
  a.join();
  releaseSecond.set_value();
  b.join();
  EXPECT_EQ(lock.readerSlots(), 0u) << "released slots are trimmed";
  auto writer = writerOnOtherThread(lock);
  EXPECT_TRUE(finishesSoon(writer));
}

TEST(ReadWriteLockTest, OutOfOrderReleasesDoNotGrowTheReaderList) {
  ReadWriteLock lock;
  std::promise<void> taken, release;
  lock.readLock(PG_HERE);  // slot 0
  std::thread holder([&] {
    lock.readLock(PG_HERE);  // slot 1, held throughout
    taken.set_value();
    release.get_future().wait();
    lock.readUnlock(PG_HERE);
  });
  taken.get_future().wait();
  for (int round = 0; round < 1000; ++round) {
    lock.readUnlock(PG_HERE);  // frees an inner slot: only marked free
    lock.readLock(PG_HERE);
  }
  EXPECT_EQ(lock.readerSlots(), 2u);
  release.set_value();
  holder.join();
  lock.readUnlock(PG_HERE);
  EXPECT_EQ(lock.readerSlots(), 0u);
}

TEST(ReadWriteLockTest, ScopedGuardsReleaseAndIgnoreNull) {
  ReadWriteLock lock;
  {
    misc::ScopedWriteLock w(&lock, PG_HERE);
    misc::ScopedReadLock r(&lock, PG_HERE);
    EXPECT_EQ(lock.owner(), platform::currentThreadId());
    EXPECT_EQ(lock.readerSlots(), 1u);
  }
  EXPECT_EQ(lock.owner(), 0u);
  EXPECT_EQ(lock.readerSlots(), 0u);
  misc::ScopedWriteLock nothing(nullptr, PG_HERE);
  misc::ScopedReadLock nothingEither(nullptr, PG_HERE);
}

// Several threads mix reads, writes, nested writes and (on one thread) upgrades while
// checking that a writer's two-step update is never seen half done.
TEST(ReadWriteLockTest, StressMixedOperationsKeepTheInvariant) {
  ReadWriteLock lock;
  long a = 0, b = 0;  // guarded: a == b whenever no writer is inside
  std::atomic<int> violations{0};
  std::atomic<long> writes{0};
  constexpr int kThreads = 6, kOps = 3000;

  auto worker = [&](int index) {
    std::mt19937 random(static_cast<unsigned>(index) * 7919u);
    const bool upgrader = index == 0;  // only one thread upgrades: two would deadlock
    for (int op = 0; op < kOps; ++op) {
      switch (random() % (upgrader ? 4 : 3)) {
        case 0: {
          misc::ScopedReadLock r(&lock, PG_HERE);
          if (a != b) ++violations;
          break;
        }
        case 1: {
          misc::ScopedWriteLock w(&lock, PG_HERE);
          ++a;
          std::this_thread::yield();
          ++b;
          ++writes;
          break;
        }
        case 2: {
          misc::ScopedWriteLock outer(&lock, PG_HERE);
          ++a;
          {
            misc::ScopedWriteLock inner(&lock, PG_HERE);
            misc::ScopedReadLock readInside(&lock, PG_HERE);
            if (a != b + 1) ++violations;
          }
          ++b;
          ++writes;
          break;
        }
        case 3: {
          misc::ScopedReadLock r(&lock, PG_HERE);
          if (a != b) ++violations;
          misc::ScopedWriteLock w(&lock, PG_HERE);
          ++a;
          ++b;
          ++writes;
          break;
        }
      }
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(worker, i);
  for (auto& t : threads) t.join();

  EXPECT_EQ(violations.load(), 0);
  EXPECT_EQ(a, writes.load());
  EXPECT_EQ(a, b);
  EXPECT_EQ(lock.owner(), 0u);
  EXPECT_EQ(lock.readerSlots(), 0u);
}
