#include "platform/virtual_timers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zervik {
namespace {

TEST(VirtualTimers, HandlersRunInOrderOfDueTimeThenCreation) {
  TVirtualTimers timers;
  std::vector<std::string> log;
  timers.CreateTimer(1, 30, [&] { log.push_back("a@" + std::to_string(timers.Now())); });
  timers.CreateTimer(2, 20, [&] { log.push_back("b@" + std::to_string(timers.Now())); });
  timers.CreateTimer(3, 60, [&] { log.push_back("c@" + std::to_string(timers.Now())); });
  timers.Advance(60);
  EXPECT_EQ(log, (std::vector<std::string>{"b@20", "a@30", "b@40", "a@60", "b@60", "c@60"}));
  EXPECT_EQ(timers.Now(), 60);
}

TEST(VirtualTimers, TimerFreedFromItsOwnHandlerNeverFiresAgain) {
  TVirtualTimers timers;
  int fired = 0;
  timers.CreateTimer(41, 100, [&] {
    ++fired;
    timers.FreeTimers(41);
  });
  timers.Advance(1000);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timers.HasTimer(41));
}

TEST(VirtualTimers, FreeingATagStopsEveryTimerWithIt) {
  TVirtualTimers timers;
  int tagged = 0, other = 0;
  timers.CreateTimer(100, 10, [&] { ++tagged; });
  timers.CreateTimer(100, 10, [&] { ++tagged; });
  timers.CreateTimer(99, 10, [&] {
    ++other;
    timers.FreeTimers(100);
  });
  timers.Advance(10);  // both tag-100 timers fire first, then 99 frees them
  timers.Advance(100);
  EXPECT_EQ(tagged, 2);
  EXPECT_EQ(other, 11);
}

TEST(VirtualTimers, HandlerMayCreateTimersAndFreeOthersDuringAdvance) {
  TVirtualTimers timers;
  std::vector<int> log;
  timers.CreateTimer(50, 15, [&] {
    log.push_back(50);
    timers.FreeTimers(50);
    timers.CreateTimer(40, 15, [&] {
      log.push_back(40);
      timers.FreeTimers(40);
    });
  });
  timers.Advance(29);
  EXPECT_EQ(log, (std::vector<int>{50}));
  timers.Advance(1);
  EXPECT_EQ(log, (std::vector<int>{50, 40}));
  EXPECT_EQ(timers.Count(), 0);
  EXPECT_FALSE(timers.RunNext());
}

}  // namespace
}  // namespace zervik
