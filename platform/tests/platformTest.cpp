#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/src/clock.h"
#include "platform/src/directory.h"
#include "platform/src/displayConnection.h"
#include "platform/src/executable.h"
#include "platform/src/fileDescriptor.h"
#include "platform/src/messageBox.h"
#include "platform/src/prefaultMemory.h"
#include "platform/src/systemError.h"
#include "platform/src/thread.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

TEST(PlatformTest, ThreadIdsDifferPerThreadAndAreNeverZero) {
  const auto mine = platform::currentThreadId();
  std::uint32_t other = 0;
  std::thread([&] { other = platform::currentThreadId(); }).join();
  EXPECT_NE(mine, 0u);
  EXPECT_NE(other, 0u);
  EXPECT_NE(mine, other);
}

TEST(PlatformTest, LastErrorIsPerThread) {
  platform::setLastError(42);
  std::uint32_t seen = 99;
  std::thread([&] { seen = platform::getLastError(); }).join();
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(platform::getLastError(), 42u);
}

TEST(PlatformTest, CounterIsMonotonicAndNonZero) {
  const auto a = platform::counter();
  const auto b = platform::counter();
  EXPECT_GT(a, 0);
  EXPECT_GE(b, a);
  EXPECT_EQ(platform::counterFrequency(), 1'000'000'000);
}

TEST(PlatformTest, SystemErrorTextKnowsErrnoValuesOnly) {
  EXPECT_EQ(platform::systemErrorText(ENOENT), L"No such file or directory");
  EXPECT_TRUE(platform::systemErrorText(10060).empty());
  EXPECT_TRUE(platform::systemErrorText(0).empty());
  EXPECT_TRUE(platform::systemErrorText(-5).empty());
}

TEST(PlatformTest, ExecutablePathNamesThisTestBinary) {
  const std::wstring path = platform::executablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), L'/');
  EXPECT_NE(path.find(L"platform_tests"), std::wstring::npos);
}

TEST(PlatformTest, PrefaultingTakesInTheWholePagesInsideAndKeepsTheirContent) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  constexpr std::size_t kPages = 16;
  // Offsets and lengths in pages; the pages expected in after the call.
  const struct {
    double from, length;
    std::size_t firstIn, endIn;
  } cases[] = {{0, 16, 0, 16}, {0.5, 10, 1, 10}, {3, 4.5, 3, 7}, {2.25, 0.5, 0, 0}, {5, 0, 0, 0}};
  for (const auto& c : cases) {
    void* mapped =
        ::mmap(nullptr, kPages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    auto* base = static_cast<char*>(mapped);
    std::memcpy(base + 8 * page + 10, "kept", 4);
    platform::prefaultMemory(base + static_cast<std::size_t>(c.from * page),
                             static_cast<std::size_t>(c.length * page));
    std::vector<unsigned char> resident(kPages);
    ASSERT_EQ(::mincore(mapped, kPages * page, resident.data()), 0);
    for (std::size_t i = 0; i < kPages; ++i) {
      const bool expected = i == 8 || (i >= c.firstIn && i < c.endIn);
      EXPECT_EQ((resident[i] & 1) != 0, expected) << c.from << "+" << c.length << ", page " << i;
    }
    EXPECT_EQ(std::memcmp(base + 8 * page + 10, "kept", 4), 0);
    ::munmap(mapped, kPages * page);
  }
}

TEST(PlatformTest, MessageBoxHandlerIsReplaceable) {
  std::wstring seen;
  auto previous =
      platform::setMessageBoxHandler([&](const std::wstring& caption, const std::wstring& text,
                                         platform::MessageButtons, platform::MessageIcon) {
        seen = caption + L"|" + text;
        return platform::MessageAnswer::No;
      });
  EXPECT_EQ(platform::messageBox(L"Cap", L"Text", platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question),
            platform::MessageAnswer::No);
  EXPECT_EQ(seen, L"Cap|Text");
  platform::setMessageBoxHandler(previous);

  testing::internal::CaptureStderr();
  EXPECT_EQ(platform::messageBox(L"Cap", L"T\u00e9xt", platform::MessageButtons::Ok,
                                 platform::MessageIcon::Warning),
            platform::MessageAnswer::Ok);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cap: T\xC3\xA9xt\n");
}

TEST(PlatformTest, MakeDirectoriesCreatesPrivateParentsAndStopsAtAFile) {
  const testSupport::ScratchDir dir("directoryTest");
  const std::string deep = dir.file("a/b/c");
  EXPECT_FALSE(platform::isWritableDirectory(deep));
  EXPECT_EQ(platform::makeDirectories(deep), 0);
  EXPECT_EQ(platform::makeDirectories(deep + "/"), 0);
  EXPECT_TRUE(platform::isWritableDirectory(deep));
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  dir.write("file", "");
  EXPECT_FALSE(platform::isWritableDirectory(dir.file("file")));
  EXPECT_EQ(platform::makeDirectories(dir.file("file")), ENOTDIR);
  EXPECT_EQ(platform::makeDirectories(dir.file("file/x")), ENOTDIR);
}

TEST(PlatformTest, AWaylandDisplayAnswersOnlyWhereASocketListens) {
  const testSupport::ScratchDir dir("waylandTest");
  const testSupport::ScopedVariable runtimeDir("XDG_RUNTIME_DIR", dir.path());
  EXPECT_FALSE(platform::waylandDisplayAnswers("wayland-pg"));
  const platform::FileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = dir.file("wayland-pg");
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener.get(), 4), 0);
  EXPECT_TRUE(platform::waylandDisplayAnswers("wayland-pg"));
  EXPECT_TRUE(platform::waylandDisplayAnswers(path));
  EXPECT_FALSE(platform::waylandDisplayAnswers(""));
  EXPECT_FALSE(platform::waylandDisplayAnswers(std::string(200, 'w')));
  const testSupport::ScopedVariable noRuntimeDir("XDG_RUNTIME_DIR", std::nullopt);
  EXPECT_FALSE(platform::waylandDisplayAnswers("wayland-pg"));
  EXPECT_TRUE(platform::waylandDisplayAnswers(path));
}
