// Saves that cannot be completed: each must raise config::Exception, leave the old file
// byte for byte and keep the store dirty. The failing conditions are made in forked
// children that have dropped their capabilities, so that they hold when the tests run as
// root as well.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/src/exception.h"
#include "config/src/iniFileStore.h"
#include "config/src/istring.h"
#include "config/tests/testFiles.h"
#include "lib/misc/src/textConversion.h"

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

// Saves a store that needs several blocks into `target`, expecting a failure whose message
// starts with `start` and the path (is exactly that, when `whole`), and checks the aftermath.
int saveAndCheck(const std::string& target, const char* start, bool whole = false) {
  const std::string directory = target.substr(0, target.rfind('/'));
  IniFileStore store(nullptr, IniFileStore::useDefaultFlags);
  for (int i = 0; i < 2000; ++i) store.setString(L"section", std::to_wstring(i), L"value");
  const auto before = test::listDirectory(directory);
  try {
    store.saveFile(misc::fromUtf8(target), true);
    return kSaved;
  } catch (const Exception& e) {
    const std::wstring expected = misc::fromUtf8(start) + misc::fromUtf8(target);
    if (whole ? e.wideMessage() != expected : e.wideMessage().rfind(expected, 0) != 0) {
      return kWrongMessage;
    }
  }
  if (readBytes(target) != kOldContent) return kOldFileChanged;
  if (!store.isDirty()) return kNotDirty;
  if (test::listDirectory(directory) != before) return kLeftovers;
  return kAsExpected;
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
    return saveAndCheck(target, "Can't open INI file: ", true);
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
    return saveAndCheck(target, "Can't open INI file: ", true);
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
    return saveAndCheck(target, "Can't write INI file: ");
  });
  EXPECT_EQ(outcome, kAsExpected);
  expectOldFileKept(target);
}

}  // namespace
}  // namespace config
