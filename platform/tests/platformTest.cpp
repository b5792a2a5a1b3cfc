#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <thread>

#include "platform/src/clock.h"
#include "platform/src/directory.h"
#include "platform/src/displayConnection.h"
#include "platform/src/executable.h"
#include "platform/src/fileDescriptor.h"
#include "platform/src/messageBox.h"
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
