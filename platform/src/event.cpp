#include "platform/src/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

// One mutex and condition for all events makes waiting on several at once simple; events
// are rare (process waits, worker wake-ups), so the shared wake-ups cost nothing.
std::mutex& eventMutex() {
  static std::mutex m;
  return m;
}

std::condition_variable& eventCondition() {
  static std::condition_variable c;
  return c;
}

}  // namespace

Event::Event(Reset reset, bool initiallySet) : reset_(reset), signalled_(initiallySet) {}

void Event::set() {
  {
    std::lock_guard lock(eventMutex());
    signalled_ = true;
  }
  eventCondition().notify_all();
}

void Event::reset() {
  std::lock_guard lock(eventMutex());
  signalled_ = false;
}

bool Event::isSet() const {
  std::lock_guard lock(eventMutex());
  return signalled_;
}

bool Event::wait(long timeoutMs) {
  Event* self = this;
  return waitAny(std::span<Event* const>(&self, 1), timeoutMs) == 0;
}

int waitAny(std::span<Event* const> events, long timeoutMs) {
  std::unique_lock lock(eventMutex());
  int fired = kWaitTimedOut;
  auto anySet = [&] {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i]->signalled_) {
        fired = static_cast<int>(i);
        return true;
      }
    }
    return false;
  };
  if (timeoutMs < 0) {
    eventCondition().wait(lock, anySet);
  } else if (!eventCondition().wait_for(lock, std::chrono::milliseconds(timeoutMs), anySet)) {
    return kWaitTimedOut;
  }
  if (events[fired]->reset_ == Event::Reset::Auto) events[fired]->signalled_ = false;
  return fired;
}

}  // namespace platform
