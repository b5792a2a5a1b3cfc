// Saves that cannot be completed: each must raise config::Exception, leave the old file
// byte for byte and keep the store dirty. The failing conditions are made in forked
// children that have dropped their capabilities, so that they hold when the tests run as
// root as well.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/src/istring.h"
#include "config/tests/testFiles.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/systemError.h"

namespace config {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

constexpr char kOldContent[] = "[old]\r\nkeep=me\r\n";

// Child exit codes, so the parent can tell what went wrong.
enum Outcome : int {
  kAsExpected = 0,
  kPreconditionFailed = 10,  // the condition could not be made
  kSaved = 11,               // the save claimed success
  kWrongMessage = 12,
  kOldFileChanged = 13,
  kNotDirty = 14,
  kLeftovers = 15,
};

// Saves a store that needs several blocks into `target`, expecting a failure with the
// message `expected`, and checks the aftermath.
int saveAndCheck(const std::string& target, const std::wstring& expected) {
  const std::string directory = target.substr(0, target.rfind('/'));
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  for (int i = 0; i < 2000; ++i) store.setString(L"section", std::to_wstring(i), L"value");
  const auto before = test::listDirectory(directory);
  try {
    store.saveFile(misc::fromUtf8(target), true);
    return kSaved;
  } catch (const Exception& e) {
    if (e.wideMessage() != expected) return kWrongMessage;
  }
  if (readBytes(target) != kOldContent) return kOldFileChanged;
  if (!store.isDirty()) return kNotDirty;
  if (test::listDirectory(directory) != before) return kLeftovers;
  return kAsExpected;
}

// The message of a save of `target` that failed with `error`, `stage` 13424 (opening) or
// 13419 (writing).
std::wstring failureText(int stage, const std::string& target, int error) {
  return internal::istring(stage).format(misc::fromUtf8(target), platform::systemErrorText(error));
}

bool openableForWriting(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

void expectOldFileKept(const std::string& path) {
  const std::string now = readBytes(path);
  EXPECT_TRUE(now == kOldContent) << "the old file now holds " << now.size() << " bytes";
}

TEST(IniSaveFailures, AnUnwritableTargetIsLeftAlone) {
  TempDir dir;
  const std::string target = dir.file("readonly.ini");
  writeBytes(target, kOldContent);
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  const int outcome = test::runInChild([&]() -> int {
    if (!test::dropCapabilities() || openableForWriting(target)) return kPreconditionFailed;
    return saveAndCheck(target, failureText(13424, target, EACCES));
  });
  EXPECT_EQ(outcome, kAsExpected);
  expectOldFileKept(target);
}

TEST(IniSaveFailures, AReadOnlyDirectoryKeepsItsFile) {
  TempDir dir;
  const std::string sub = dir.file("locked");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  const std::string target = sub + "/settings.ini";
  writeBytes(target, kOldContent);
  ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
  const int outcome = test::runInChild([&]() -> int {
    if (!test::dropCapabilities() || ::access(sub.c_str(), W_OK) == 0) return kPreconditionFailed;
    return saveAndCheck(target, failureText(13424, target, EACCES));
  });
  EXPECT_EQ(outcome, kAsExpected);
  expectOldFileKept(target);
}

TEST(IniSaveFailures, AFullDiskKeepsTheOldFile) {
  TempDir dir;
  const std::string target = dir.file("full.ini");
  writeBytes(target, kOldContent);
  // The file size limit makes every write past 1 KiB fail with EFBIG, as a full disk would
  // with ENOSPC, without touching any real device.
  const int outcome = test::runInChild([&]() -> int {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kPreconditionFailed;
    return saveAndCheck(target, failureText(13419, target, EFBIG));
  });
  EXPECT_EQ(outcome, kAsExpected);
  expectOldFileKept(target);
}

TEST(IniSaveFailures, NoFreeInodesIsNamed) {
  TempDir dir;
  const std::string sub = dir.file("small");
  ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
  const std::string target = sub + "/settings.ini";
  // A file system of its own, in a mount name space of the child's, that the target and a
  // few more files fill up.
  const int outcome = test::runInChild([&]() -> int {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("pgtest", sub.c_str(), "tmpfs", 0, "nr_inodes=8,size=1m") != 0) {
      return kPreconditionFailed;
    }
    writeBytes(target, kOldContent);
    for (int i = 0; ::open((sub + "/" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0600) >= 0;
         ++i) {
    }
    if (errno != ENOSPC) return kPreconditionFailed;
    return saveAndCheck(target, failureText(13424, target, ENOSPC));
  });
  if (outcome == kPreconditionFailed) GTEST_SKIP() << "no tmpfs of our own can be mounted here";
  EXPECT_EQ(outcome, kAsExpected);
}

TEST(IniSaveFailures, EveryNameThatLoadsSaves) {
  TempDir dir;
  // The longest names a directory takes, and a path just short of the longest one.
  std::string deep = dir.path();
  while (deep.size() < 3800) {
    deep += "/" + std::string(200, 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
  }
  const std::string targets[] = {dir.file(std::string(240, 'n') + ".ini"),
                                 dir.file(std::string(255, 'm')),
                                 deep + "/" + std::string(4090 - deep.size(), 'p')};
  for (const std::string& target : targets) {
    writeBytes(target, kOldContent);
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    store.loadFile(misc::fromUtf8(target));
    ASSERT_EQ(store.getString(L"old", L"keep", false, L""), L"me");
    store.setString(L"old", L"keep", L"saved");
    ASSERT_NO_THROW(store.saveFile(misc::fromUtf8(target), true)) << target.size();
    EXPECT_EQ(readBytes(target), "[old]\r\nkeep=saved\r\n");
    for (const std::string& name : test::listDirectory(target.substr(0, target.rfind('/')))) {
      EXPECT_FALSE(name.starts_with('.')) << "left behind: " << name;
    }
  }
}

// A store of about a megabyte, so that a save takes long enough to be killed in the middle.
void fillLarge(IniFileStore& store) {
  const std::wstring value(1000, L'v');
  for (int i = 0; i < 1000; ++i) store.setString(L"large", std::to_wstring(i), value);
}

TEST(IniSaveFailures, WhatAKilledSaveLeavesTheNextSaveRemoves) {
  TempDir dir;
  const std::string target = dir.file("killed.ini");
  IniFileStore large(nullptr, IniFileStore::useDefaultFlags);
  fillLarge(large);
  large.saveFile(misc::fromUtf8(target), true);
  const std::string complete = readBytes(target);
  const int watch = ::inotify_init1(IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
  for (int round = 0; round < 20; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::alarm(20);  // ends by itself whatever becomes of the parent
      IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
      fillLarge(store);
      while (true) store.saveFile(misc::fromUtf8(target), true);
    }
    // Killed as soon as the save creates a file beside the target, while it writes it.
    pollfd created{watch, POLLIN, 0};
    ASSERT_EQ(::poll(&created, 1, 20000), 1);
    ::kill(child, SIGKILL);
    char events[4096];
    (void)!::read(watch, events, sizeof events);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_EQ(readBytes(target), complete) << "torn in round " << round;
  }
  ::close(watch);
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  store.setString(L"s", L"k", L"v");
  store.saveFile(misc::fromUtf8(target), true);
  EXPECT_EQ(readBytes(target), "[s]\r\nk=v\r\n");
  EXPECT_THAT(dir.entries(), ::testing::ElementsAre("killed.ini"));
}

TEST(IniSaveFailures, SavesOfOneFileTakeTurnsOnItsTemporaryFile) {
  TempDir dir;
  const std::wstring target = dir.wfile("shared.ini");
  auto saveRepeatedly = [&](const wchar_t* value, int& failures) {
    IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
    store.setString(L"s", L"k", value);
    for (int i = 0; i < 50; ++i) {
      try {
        store.saveFile(target, true);
      } catch (const Exception&) {
        ++failures;
      }
    }
  };
  int failuresA = 0, failuresB = 0;
  std::thread a(saveRepeatedly, L"a", std::ref(failuresA));
  std::thread b(saveRepeatedly, L"b", std::ref(failuresB));
  a.join();
  b.join();
  EXPECT_EQ(failuresA + failuresB, 0);
  EXPECT_THAT(readBytes(dir.file("shared.ini")),
              ::testing::AnyOf("[s]\r\nk=a\r\n", "[s]\r\nk=b\r\n"));
  EXPECT_THAT(dir.entries(), ::testing::ElementsAre("shared.ini"));
}

}  // namespace
}  // namespace config
