#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <thread>

#include "lib/misc/src/progress.h"
#include "lib/misc/src/stopWatch.h"

using namespace std::chrono_literals;

TEST(ProgressTest, RangeAndSimpleTexts) {
  misc::CRangeProgress range;
  range.setRange(0, 10000);
  range.setPosition(2048);
  EXPECT_EQ(range.getText(), L"2048/10000");
  range.setRange(1, 10000);
  EXPECT_EQ(range.getText(), L"2048");
  const misc::CSimpleProgress simple(L"Connecting");
  const misc::CProgress& base = simple;
  EXPECT_EQ(base.getText(), L"Connecting");
}

namespace {
bool wholeMilliseconds(double seconds) {
  const double ms = seconds * 1000.0;
  return std::fabs(ms - std::round(ms)) < 1e-6;
}
}  // namespace

TEST(StopWatchTest, ConvertsTicksTruncatingToTheMillisecond) {
  EXPECT_DOUBLE_EQ(misc::CStopWatch::ticksToSeconds(1'999'999), 0.001);
  EXPECT_DOUBLE_EQ(misc::CStopWatch::ticksToSeconds(999'999), 0.0);
  EXPECT_DOUBLE_EQ(misc::CStopWatch::ticksToSeconds(1'234'000'000), 1.234);
}

TEST(StopWatchTest, NewStopWatchIsZero) {
  misc::CStopWatch watch;
  EXPECT_EQ(watch.elapsed(), 0.0);
  EXPECT_EQ(watch.toString(), L"[0.000]");
}

TEST(StopWatchTest, TextUsesAPointWhateverTheUserLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  misc::CStopWatch watch;
  watch.start();
  std::this_thread::sleep_for(2ms);
  const double stopped = watch.stop();
  const std::wstring text = watch.toString();
  std::setlocale(LC_NUMERIC, saved.c_str());
  wchar_t expected[32];
  std::swprintf(expected, 32, L"[%d.%03d]", static_cast<int>(stopped),
                static_cast<int>(std::lround(stopped * 1000)) % 1000);
  EXPECT_EQ(text, expected);
}

TEST(StopWatchTest, RunsPausesResumesAndStops) {
  misc::CStopWatch watch;
  watch.start();
  std::this_thread::sleep_for(30ms);
  const double running = watch.elapsed();
  EXPECT_GE(running, 0.030);
  EXPECT_TRUE(wholeMilliseconds(running));
  EXPECT_GE(watch.elapsed(), running) << "elapsed leaves the stopwatch running";

  const double atPause = watch.pause(true);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(watch.elapsed(), atPause) << "paused time does not count";

  watch.pause(false);
  std::this_thread::sleep_for(30ms);
  const double resumed = watch.elapsed();
  EXPECT_GE(resumed, atPause + 0.030);

  const double stopped = watch.stop();
  EXPECT_GE(stopped, resumed);
  std::this_thread::sleep_for(10ms);
  EXPECT_EQ(watch.elapsed(), stopped) << "a stopped watch keeps its time";

  watch.start();
  EXPECT_LT(watch.elapsed(), stopped) << "start restarts from zero";
}
