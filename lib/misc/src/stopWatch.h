#pragma once
// Elapsed wall time on the monotonic counter, in seconds truncated to the millisecond.
// Idle after construction, running after start, paused after pause(true), running again
// after pause(false), idle after stop; start restarts from zero.

#include <cstdint>
#include <string>

namespace misc {

class CStopWatch {
 public:
  CStopWatch() = default;
  virtual ~CStopWatch();
  CStopWatch(const CStopWatch&) = delete;
  CStopWatch& operator=(const CStopWatch&) = delete;

  virtual void start();
  virtual double stop();
  // Pausing a paused stopwatch keeps the time of the first pause.
  virtual double pause(bool pausing);
  virtual double elapsed() const;
  // "[1.234]"
  virtual std::wstring toString() const;

  // Ticks as seconds, truncated to whole milliseconds.
  static double ticksToSeconds(std::int64_t ticks);

 private:
  std::int64_t startCount_ = 0;  // 0: not running
  std::int64_t accumulated_ = 0;
  bool paused_ = false;
};

}  // namespace misc
