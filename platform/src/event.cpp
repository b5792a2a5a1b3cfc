#include "platform/src/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

// One mutex and condition for all events makes waiting on several at once simple; events
// are rare (process waits, worker wake-ups), so the shared wake-ups cost nothing.
struct Shared {
  std::mutex mutex;
  std::condition_variable condition;
};

// Never destroyed: a detached thread (the watcher of a released child) may set an event
// while the process exits and runs the destructors of statics.
Shared& shared() {
  union Holder {
    Holder() : value() {}
    ~Holder() {}
    Shared value;
  };
  static Holder holder;
  return holder.value;
}

std::mutex& eventMutex() {
  return shared().mutex;
}

std::condition_variable& eventCondition() {
  return shared().condition;
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
