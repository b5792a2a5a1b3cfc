#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>

#include "config/src/delayedSaveWorkerThread.h"
#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/src/istring.h"
#include "config/src/sectionWriteLock.h"
#include "config/tests/memoryStore.h"
#include "config/tests/testFiles.h"
#include "lib/log/src/log.h"
#include "lib/log/src/msgGroup.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/tests/thrownMessage.h"

namespace config {
namespace {

using internal::DelayedSaveWorkerThread;
using test::MemoryStore;
using ::testing::HasSubstr;

// Waits, for at most ten seconds, until `done` holds.
template <typename Condition>
bool eventually(Condition done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class DelayedSave : public ::testing::Test {
 protected:
  DelayedSaveWorkerThread& worker = DelayedSaveWorkerThread::instance();
  void TearDown() override {
    worker.stop();
    worker.setSaveAtOnce(false);
  }
};

TEST_F(DelayedSave, WithoutTheWorkerStoresSaveAtOnce) {
  EXPECT_FALSE(worker.isRunning());
  MemoryStore store;
  store.setPolicy(true, 5);
  store.setString(L"s", L"k", L"v");
  EXPECT_EQ(store.saves(), 1);
  EXPECT_FALSE(store.isDirty());

  EXPECT_EQ(misc::test::thrownMessage<Exception>(
                [&] { worker.queueSave(store, std::time(nullptr) + 5); }),
            L"The DelayedSave worker thread is not running.");
  EXPECT_EQ(store.deferSaveCount(), 0u);
}

TEST_F(DelayedSave, ChangesAccumulateUntilTheDueSaveWritesThemAll) {
  msgGroup* group = msgGroup::findByName(L"ConfigDelayedSave");
  ASSERT_NE(group, nullptr);
  worker.start();
  worker.start();  // a second start changes nothing
  ASSERT_TRUE(worker.isRunning());
  MemoryStore store(L"delayed store");
  store.setPolicy(true, 2);

  msgGroup* deferGroup = msgGroup::findByName(L"ConfigDeferSave");
  ASSERT_NE(deferGroup, nullptr);
  ::testing::internal::CaptureStderr();
  group->setEnabled(true);
  deferGroup->setEnabled(true);
  store.setString(L"s", L"a", L"1");
  deferGroup->setEnabled(false);
  group->setEnabled(false);
  // The queuing line comes before the line of the token that the queued save holds.
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              ::testing::ContainsRegex("Queuing Store for delayed save \\(now=[0-9]+\\): "
                                       "[0-9]+ delayed store\n.*Allocated a DeferSave for Store: "
                                       "[^\n]* delayed store"));
  {
    SectionWriteLock lock(store, L"s");
    lock->setString(L"b", L"2");
  }
  store.setString(L"s", L"c", L"3");

  ASSERT_TRUE(eventually([&] { return !store.isDirty(); }));
  EXPECT_EQ(store.saved(), "s|a=1\ns|b=2\ns|c=3\n");
  EXPECT_EQ(store.deferSaveCount(), 0u);
  EXPECT_LE(store.saves(), 2);  // never one save per change
}

TEST_F(DelayedSave, AQueuedSavePostponesTheStoresOtherSaves) {
  worker.start();
  {
    MemoryStore store;
    store.setPolicy(true, 3600);
    store.setString(L"s", L"a", L"1");
    store.setString(L"s", L"b", L"2");
    EXPECT_EQ(store.saves(), 0);
    EXPECT_EQ(store.deferSaveCount(), 1u);
    EXPECT_TRUE(store.isDirty());
    // A forced save still writes at once.
    store.save(true);
    EXPECT_EQ(store.saves(), 1);
  }
  // The destroyed store's queued save is gone; the worker carries on.
  EXPECT_TRUE(worker.isRunning());
  MemoryStore next;
  next.setPolicy(true, 1);
  next.setString(L"s", L"k", L"v");
  EXPECT_TRUE(eventually([&] { return next.saves() == 1; }));
}

TEST_F(DelayedSave, SaveAtOnceWritesInsteadOfQueueing) {
  worker.start();
  worker.setSaveAtOnce(true);
  MemoryStore store;
  store.setPolicy(true, 3600);
  store.setString(L"s", L"k", L"v");
  EXPECT_EQ(store.saves(), 1);
  EXPECT_EQ(store.deferSaveCount(), 0u);
  // A queued save writes even for a store without autoSave: it was asked for.
  MemoryStore manual;
  manual.setString(L"s", L"k", L"v");
  worker.queueSave(manual, std::time(nullptr) + 3600);
  EXPECT_EQ(manual.saves(), 1);
}

TEST_F(DelayedSave, AFailingSaveIsLoggedAndTheWorkerGoesOn) {
  // The worker logs after it has released the token, so the test watches the log itself,
  // reading it under the log's own lock.
  CMessageLog& log = getMessageLog();
  std::wstreambuf* const standardError = log.getTarget();
  std::wstringbuf captured;
  log.setTarget(&captured, 0);
  auto logged = [&] {
    log.lock(PG_HERE);
    const std::wstring text = captured.str();
    log.unlock(PG_HERE);
    return text;
  };
  worker.start();
  MemoryStore store;
  store.setPolicy(true, 1);
  store.failSaves(true);
  store.setString(L"s", L"k", L"v");
  const bool reported = eventually([&] {
    return logged().find(L"DelayedSave thread error: save refused") != std::wstring::npos;
  });
  log.setTarget(standardError, 0);
  EXPECT_TRUE(reported) << misc::toUtf8(logged());
  EXPECT_EQ(store.deferSaveCount(), 0u);
  EXPECT_TRUE(store.isDirty());
  EXPECT_TRUE(worker.isRunning());

  store.failSaves(false);
  store.setString(L"s", L"k", L"w");
  EXPECT_TRUE(eventually([&] { return !store.isDirty(); }));
  EXPECT_EQ(store.saved(), "s|k=w\n");
}

TEST_F(DelayedSave, StopLeavesSavesQueuedUntilTheNextStart) {
  worker.start();
  MemoryStore store;
  store.setPolicy(true, 2);  // due at least a second after it was queued
  store.setString(L"s", L"k", L"v");
  worker.stop();
  EXPECT_FALSE(worker.isRunning());
  EXPECT_EQ(store.deferSaveCount(), 1u);
  worker.stop();  // stopping twice is harmless
  worker.start();
  EXPECT_TRUE(eventually([&] { return store.saves() == 1; }));
}

// A class derived from the INI store: its destructor runs first and must end the delayed
// saves before the INI store's begins.
class DelayedIniStore : public IniFileStore {
 public:
  DelayedIniStore() : IniFileStore(nullptr, useDefaultFlags) {}
  ~DelayedIniStore() override { endDelayedSaves(); }
  using Store::setSavePolicy;
};

TEST_F(DelayedSave, DestroyingAStoreWhileItsDueSaveRunsIsSafe) {
  test::TempDir dir;
  const std::string path = dir.file("due.ini");
  worker.start();
  for (int i = 0; i < 200; ++i) {
    ::unlink(path.c_str());
    auto store = std::make_unique<DelayedIniStore>();
    store->setString(L"s", L"k", L"v");
    store->saveFile(misc::fromUtf8(path), true);
    ::unlink(path.c_str());
    store->setString(L"s", L"k", L"w");
    // Due at once: the worker may be writing while the store is being destroyed.
    worker.queueSave(*store, std::time(nullptr));
    store.reset();
    const std::string written = test::readBytes(path);
    EXPECT_TRUE(written.empty() || written == "[s]\r\nk=w\r\n") << written;
  }
  EXPECT_TRUE(worker.isRunning());
}

}  // namespace
}  // namespace config
