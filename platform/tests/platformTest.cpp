#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "platform/src/clock.h"
#include "platform/src/executable.h"
#include "platform/src/messageBox.h"
#include "platform/src/systemError.h"
#include "platform/src/thread.h"

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
