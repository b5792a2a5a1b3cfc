#include "lib/misc/src/criticalSectionLock.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "lib/misc/src/lockTimeout.h"
#include "lib/misc/src/readWriteLock.h"
#include "platform/src/event.h"

namespace {

// A thread that enters `lock` as soon as it starts and reports when it is in, so that a test
// can ask whether the lock lets it in within a bound rather than sleep and hope.
class Entrant {
 public:
  explicit Entrant(misc::CriticalSectionLock& lock)
      : thread_([this, &lock] {
          started_.set();
          misc::ScopedCriticalSection guard(&lock, PG_HERE);
          entered_.set();
        }) {
    started_.wait(-1);
  }
  ~Entrant() { thread_.join(); }
  Entrant(const Entrant&) = delete;
  Entrant& operator=(const Entrant&) = delete;

  bool enteredWithin(long ms) { return entered_.wait(ms); }

 private:
  platform::Event started_{platform::Event::Reset::Manual};
  platform::Event entered_{platform::Event::Reset::Manual};
  std::thread thread_;
};

// Long enough for a thread blocked on a freed lock to be woken on a loaded machine.
constexpr long kEntryMs = 300;
// The bound on a wait that is expected to end.
constexpr long kWaitMs = 5000;

}  // namespace

TEST(CriticalSectionLockTest, IsRecursiveAndExcludesOtherThreads) {
  misc::CriticalSectionLock lock;
  lock.lock("a.cpp", 1);
  lock.lock("b.cpp", 2);
  EXPECT_EQ(lock.recursionCount(), 2);
  EXPECT_STREQ(lock.lockFile(), "b.cpp");
  {
    Entrant other(lock);
    lock.unlock(PG_HERE);
    EXPECT_FALSE(other.enteredWithin(kEntryMs)) << "one release of two must not free the lock";
    EXPECT_EQ(lock.recursionCount(), 1);
    EXPECT_EQ(lock.lockFile(), nullptr);
    lock.unlock(PG_HERE);
    EXPECT_TRUE(other.enteredWithin(kWaitMs)) << "the last release frees the lock";
  }
  EXPECT_EQ(lock.recursionCount(), 0);
}

TEST(CriticalSectionLockTest, ScopedLockHoldsItsLockForTheScopeAndANullOneNothing) {
  for (const bool null : {false, true}) {
    SCOPED_TRACE(null ? "null lock" : "lock");
    misc::CriticalSectionLock lock;
    std::optional<Entrant> other;
    {
      misc::ScopedCriticalSection guard(null ? nullptr : &lock, "scoped.cpp", 7);
      EXPECT_EQ(lock.recursionCount(), null ? 0 : 1);
      EXPECT_STREQ(lock.lockFile(), null ? nullptr : "scoped.cpp");
      other.emplace(lock);
      EXPECT_EQ(other->enteredWithin(null ? kWaitMs : kEntryMs), null);
    }
    const bool released = other->enteredWithin(kWaitMs);
    EXPECT_TRUE(released) << "the end of the scope releases the lock";
    if (!released) lock.unlock(PG_HERE);  // else the join below would wait for ever
    other.reset();
    EXPECT_EQ(lock.recursionCount(), 0);
  }
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
