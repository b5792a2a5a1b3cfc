#include "platform/src/event.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

using platform::Event;

TEST(EventTest, ManualResetStaysSetUntilReset) {
  Event e(Event::Reset::Manual);
  EXPECT_FALSE(e.wait(0));
  e.set();
  EXPECT_TRUE(e.wait(0));
  EXPECT_TRUE(e.wait(0));
  e.reset();
  EXPECT_FALSE(e.wait(10));
}

TEST(EventTest, AutoResetReleasesOneWait) {
  Event e(Event::Reset::Auto, true);
  EXPECT_TRUE(e.wait(0));
  EXPECT_FALSE(e.wait(0));
}

TEST(EventTest, WaitWakesWhenAnotherThreadSets) {
  Event e(Event::Reset::Auto);
  std::thread t([&] { e.set(); });
  EXPECT_TRUE(e.wait(-1));
  t.join();
}

TEST(EventTest, WaitAnyNamesTheEventThatFired) {
  Event a(Event::Reset::Manual), b(Event::Reset::Auto);
  std::array<Event*, 2> both{&a, &b};
  EXPECT_EQ(platform::waitAny(both, 0), platform::kWaitTimedOut);

  std::thread t([&] { b.set(); });
  EXPECT_EQ(platform::waitAny(both, 5000), 1);
  t.join();
  EXPECT_FALSE(b.isSet()) << "an auto-reset event that was reported is consumed";

  a.set();
  b.set();
  EXPECT_EQ(platform::waitAny(both, 0), 0) << "the first set event wins";
  EXPECT_TRUE(b.isSet());
}

TEST(EventTest, OneAutoResetSetReleasesExactlyOneOfTwoWaiters) {
  Event e(Event::Reset::Auto);
  std::atomic<int> woken{0};
  auto waiter = [&] {
    if (e.wait(300)) ++woken;
  };
  std::thread t1(waiter), t2(waiter);
  e.set();
  t1.join();
  t2.join();
  EXPECT_EQ(woken.load(), 1);
}
