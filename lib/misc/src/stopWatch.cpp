#include "lib/misc/src/stopWatch.h"

#include <cstdio>

#include "platform/src/clock.h"

namespace misc {
namespace {
const std::int64_t ticksPerMillisecond = platform::counterFrequency() / 1000;
}

CStopWatch::~CStopWatch() {
  if (startCount_ > 0) stop();
}

double CStopWatch::ticksToSeconds(std::int64_t ticks) {
  return static_cast<double>(ticks / ticksPerMillisecond) * 0.001;
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
  char text[64];
  std::snprintf(text, sizeof text, "[%.3f]", elapsed());
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace misc
