#include "lib/misc/src/stopWatch.h"

#include <cmath>
#include <cstdio>

#include "platform/src/clock.h"

namespace misc {
namespace {
// Read on first use: a stopwatch in another file's static may run before this file's statics.
std::int64_t ticksPerMillisecond() {
  static const std::int64_t ticks = platform::counterFrequency() / 1000;
  return ticks;
}
}  // namespace

CStopWatch::~CStopWatch() {
  if (startCount_ > 0) stop();
}

double CStopWatch::ticksToSeconds(std::int64_t ticks) {
  return static_cast<double>(ticks / ticksPerMillisecond()) * 0.001;
}

void CStopWatch::start() {
  startCount_ = platform::counter();
  accumulated_ = 0;
  paused_ = false;
}

double CStopWatch::stop() {
  if (startCount_ > 0 && !paused_) accumulated_ += platform::counter() - startCount_;
  startCount_ = 0;
  paused_ = false;
  return ticksToSeconds(accumulated_);
}

double CStopWatch::pause(bool pausing) {
  if (pausing) {
    if (startCount_ > 0 && !paused_) accumulated_ += platform::counter() - startCount_;
    paused_ = true;
  } else {
    startCount_ = platform::counter();
    paused_ = false;
  }
  return ticksToSeconds(accumulated_);
}

double CStopWatch::elapsed() const {
  if (startCount_ > 0 && !paused_) {
    return ticksToSeconds(accumulated_ + (platform::counter() - startCount_));
  }
  return ticksToSeconds(accumulated_);
}

std::wstring CStopWatch::toString() const {
  // Whole milliseconds printed as integers: "%.3f" would take the user's decimal comma.
  const long long ms = std::llround(elapsed() * 1000.0);
  char text[64];
  std::snprintf(text, sizeof text, "[%lld.%03lld]", ms / 1000, ms % 1000);
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace misc
