#pragma once
// Win32-style events: manual-reset events stay set until reset; auto-reset events release
// one waiter and reset themselves.

#include <span>

namespace platform {

class Event {
 public:
  enum class Reset { Manual, Auto };

  explicit Event(Reset reset, bool initiallySet = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void set();
  void reset();
  bool isSet() const;

  // Waits until the event is set; false on time-out. timeoutMs < 0 waits without limit,
  // 0 only tests.
  bool wait(long timeoutMs);

 private:
  friend int waitAny(std::span<Event* const> events, long timeoutMs);

  const Reset reset_;
  bool signalled_;
};

inline constexpr int kWaitTimedOut = -1;

// Waits until any of the events is set and returns the index of the first set one (an
// auto-reset event that is reported is reset), or kWaitTimedOut.
int waitAny(std::span<Event* const> events, long timeoutMs);

}  // namespace platform
