#include "lib/misc/src/criticalSectionLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "lib/misc/src/lockTimeout.h"
#include "lib/misc/src/readWriteLock.h"

using namespace std::chrono_literals;

TEST(CriticalSectionLockTest, IsRecursiveAndExcludesOtherThreads) {
  misc::CriticalSectionLock lock;
  lock.lock("a.cpp", 1);
  lock.lock("b.cpp", 2);
  EXPECT_EQ(lock.recursionCount(), 2);
  EXPECT_STREQ(lock.lockFile(), "b.cpp");

  std::atomic<bool> entered{false};
  std::thread other([&] {
    misc::ScopedCriticalSection guard(&lock, PG_HERE);
    entered = true;
  });
  lock.unlock(PG_HERE);
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(entered) << "one release of two must not free the lock";
  EXPECT_EQ(lock.lockFile(), nullptr);
  lock.unlock(PG_HERE);
  other.join();
  EXPECT_TRUE(entered);
  EXPECT_EQ(lock.recursionCount(), 0);
}

TEST(CriticalSectionLockTest, NullScopedLockDoesNothing) {
  misc::ScopedCriticalSection guard(nullptr, PG_HERE);
  SUCCEED();
}

class LockTimeoutDeathTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(LockTimeoutDeathTest, CriticalSectionWaitPastTheTimeoutAbortsNamingTheCaller) {
  EXPECT_EXIT(
      {
        misc::setLockTimeout(0.05f);
        misc::CriticalSectionLock lock;
        std::thread holder([&] { lock.lock(PG_HERE); });
        holder.join();  // the lock stays held by a thread that is gone
        lock.lock("caller.cpp", 321);
      },
      testing::ExitedWithCode(1),
      "PROGRAM ABORT: EnterCriticalSection\\(\\) timed out: caller.cpp:321");
}

TEST_F(LockTimeoutDeathTest, WriterWaitPastTheTimeoutAbortsNamingTheLockLibrary) {
  EXPECT_EXIT(
      {
        misc::setLockTimeout(0.05f);
        misc::ReadWriteLock lock;
        std::thread reader([&] { lock.readLock(PG_HERE); });
        reader.join();
        lock.writeLock("caller.cpp", 9);
      },
      testing::ExitedWithCode(1),
      "WaitForSingleObject\\(\\) timed out: .*readWriteLock.cpp:[0-9]+\n- FILE:     "
      ".*readWriteLock.cpp \\(line [0-9]+\\)");
}

// Waiting for another thread's write lock is an entry into the writer's critical section, so
// its abort names the waiting caller, for readers and writers alike.
TEST_F(LockTimeoutDeathTest, WaitForAnotherWriterPastTheTimeoutAbortsNamingTheCaller) {
  for (const bool reader : {true, false}) {
    EXPECT_EXIT(
        {
          misc::setLockTimeout(0.05f);
          misc::ReadWriteLock lock;
          std::thread writer([&] { lock.writeLock(PG_HERE); });
          writer.join();
          if (reader) {
            lock.readLock("reader.cpp", 11);
          } else {
            lock.writeLock("reader.cpp", 11);
          }
        },
        testing::ExitedWithCode(1),
        "PROGRAM ABORT: EnterCriticalSection\\(\\) timed out: reader.cpp:11\n- FILE:     "
        ".*lockTimeout.cpp \\(line [0-9]+\\)");
  }
}
