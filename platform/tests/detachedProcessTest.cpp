#include "platform/src/detachedProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>

namespace platform {
namespace {

struct DetachedCase {
  const char* name;
  std::vector<std::string> argv;
  int windowMs;
  bool started;
  int error;
  std::optional<int> exitCode;
};

class StartDetachedTest : public testing::TestWithParam<DetachedCase> {};

TEST_P(StartDetachedTest, ReportsTheStartAndAnEarlyEndOnly) {
  const DetachedCase& c = GetParam();
  const auto begin = std::chrono::steady_clock::now();
  const DetachedStart result = startDetached(c.argv, c.windowMs);
  const auto took = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(result.started, c.started);
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.exitCode, c.exitCode);
  // Whatever still runs belongs to someone else: this process has no child to collect.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_LT(took, std::chrono::milliseconds(c.windowMs) + std::chrono::seconds(2));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, StartDetachedTest,
    testing::Values(
        DetachedCase{"EndsEarlyWithItsCode", {"sh", "-c", "exit 3"}, 5000, true, 0, 3},
        DetachedCase{"RunsOnPastTheWindow", {"sleep", "3"}, 100, true, 0, std::nullopt},
        DetachedCase{"NotWatchedWithoutAWindow", {"sh", "-c", "exit 3"}, 0, true, 0, std::nullopt},
        DetachedCase{"Missing", {"pg-no-such-program"}, 1000, false, ENOENT, std::nullopt},
        DetachedCase{"NoProgram", {}, 1000, false, EINVAL, std::nullopt}),
    [](const testing::TestParamInfo<DetachedCase>& info) { return info.param.name; });

}  // namespace
}  // namespace platform
