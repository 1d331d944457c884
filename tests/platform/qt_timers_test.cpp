#include "platform/qt_timers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/platform/qt_test_app.h"

namespace zervik {
namespace {

using test::ProcessFor;
using test::ProcessUntil;

// Short enough to keep the tests quick, long enough that a timer which
// should be silent has had many chances to fire.
constexpr int kTickMs = 5;
constexpr int kQuietMs = 150;

class QtTimersTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TestApp(); }
};

TEST_F(QtTimersTest, HandlerThatFreesItsOwnTagRunsOnce) {
  TQtTimers timers;
  int fired = 0;
  timers.CreateTimer(tagRefusalNotice, kTickMs, [&] {
    ++fired;
    timers.FreeTimers(tagRefusalNotice);
  });
  ASSERT_TRUE(timers.HasTimer(tagRefusalNotice));
  ASSERT_TRUE(ProcessUntil([&] { return fired > 0; }));
  ProcessFor(kQuietMs);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timers.HasTimer(tagRefusalNotice));
  EXPECT_EQ(timers.Count(), 0);
}

TEST_F(QtTimersTest, FreeingATagStopsEveryTimerWithItAndNoOther) {
  TQtTimers timers;
  int first = 0, second = 0, other = 0;
  timers.CreateTimer(tagAnimation, kTickMs, [&] { ++first; });
  timers.CreateTimer(tagAnimation, kTickMs + 2, [&] { ++second; });
  timers.CreateTimer(tagKeepAlive, kTickMs, [&] { ++other; });
  EXPECT_EQ(timers.Count(), 3);
  ASSERT_TRUE(ProcessUntil([&] { return first >= 2 && second >= 2 && other >= 2; }));

  timers.FreeTimers(tagAnimation);
  EXPECT_FALSE(timers.HasTimer(tagAnimation));
  EXPECT_TRUE(timers.HasTimer(tagKeepAlive));
  EXPECT_EQ(timers.Count(), 1);
  const int firstAtFree = first, secondAtFree = second, otherAtFree = other;
  ASSERT_TRUE(ProcessUntil([&] { return other >= otherAtFree + 3; }));
  EXPECT_EQ(first, firstAtFree);
  EXPECT_EQ(second, secondAtFree);
}

// Both timers fall due in the same pass of the event loop; the first frees
// the second, which must not run although it was already due.
TEST_F(QtTimersTest, TimerFreedByAnEarlierHandlerInTheSamePassNeverFires) {
  TQtTimers timers;
  int freer = 0, victim = 0;
  timers.CreateTimer(tagBannerGrow, kTickMs, [&] {
    ++freer;
    timers.FreeTimers(tagBannerHold);
  });
  timers.CreateTimer(tagBannerHold, kTickMs, [&] { ++victim; });
  ASSERT_TRUE(ProcessUntil([&] { return freer >= 3; }));
  EXPECT_EQ(victim, 0);
  EXPECT_FALSE(timers.HasTimer(tagBannerHold));
}

TEST_F(QtTimersTest, HandlerMayFreeItsTagAndStartItAgain) {
  TQtTimers timers;
  std::vector<std::string> log;
  timers.CreateTimer(tagBannerGrow, kTickMs, [&] {
    log.push_back("grow");
    timers.FreeTimers(tagBannerGrow);
    timers.CreateTimer(tagBannerHold, kTickMs, [&] {
      log.push_back("hold");
      timers.FreeTimers(tagBannerHold);
      timers.CreateTimer(tagBannerShrink, kTickMs, [&] {
        log.push_back("shrink");
        timers.FreeTimers(tagBannerShrink);
      });
    });
  });
  ASSERT_TRUE(ProcessUntil([&] { return log.size() >= 3; }));
  ProcessFor(kQuietMs);
  EXPECT_EQ(log, (std::vector<std::string>{"grow", "hold", "shrink"}));
  EXPECT_EQ(timers.Count(), 0);
}

// A handler that ends the whole program copy (and with it the timers) must
// not leave a timer behind that calls into freed memory.
TEST_F(QtTimersTest, HandlerMayDestroyTheTimersObject) {
  auto timers = std::make_unique<TQtTimers>();
  int fired = 0, sibling = 0;
  timers->CreateTimer(tagLinkWatch, kTickMs, [&] {
    ++fired;
    timers.reset();
  });
  timers->CreateTimer(tagKeepAlive, kTickMs, [&] { ++sibling; });
  ASSERT_TRUE(ProcessUntil([&] { return timers == nullptr; }));
  const int siblingAtEnd = sibling;
  ProcessFor(kQuietMs);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(sibling, siblingAtEnd);
}

TEST_F(QtTimersTest, DestroyedOutsideAHandlerNoTimerFiresAgain) {
  int fired = 0;
  {
    TQtTimers timers;
    timers.CreateTimer(tagAnimation, kTickMs, [&] { ++fired; });
    ASSERT_TRUE(ProcessUntil([&] { return fired > 0; }));
  }
  const int atEnd = fired;
  ProcessFor(kQuietMs);
  EXPECT_EQ(fired, atEnd);
}

struct TScaleRow {
  const char* name;
  double timeScale;
  int intervalMs;
  int expectedMs;
};

class QtTimersScaleTest : public ::testing::TestWithParam<TScaleRow> {};

TEST_P(QtTimersScaleTest, IntervalIsScaledAndAtLeastOneMillisecond) {
  const TScaleRow& row = GetParam();
  TQtTimers timers(row.timeScale);
  EXPECT_EQ(timers.ScaledInterval(row.intervalMs), row.expectedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtTimersScaleTest,
    ::testing::Values(TScaleRow{"RealTimeKeepsInterval", 1.0, kLinkWatchMs, 20000},
                      TScaleRow{"TenthOfLinkWatch", 0.1, kLinkWatchMs, 2000},
                      TScaleRow{"TenthOfTickRoundsToNearest", 0.1, kAnimationTickMs, 2},
                      TScaleRow{"TinyScaleGivesOneMs", 0.001, kAnimationTickMs, 1},
                      TScaleRow{"ZeroIntervalGivesOneMs", 1.0, 0, 1},
                      TScaleRow{"NegativeIntervalGivesOneMs", 1.0, -5, 1},
                      TScaleRow{"SlowerThanRealTime", 2.0, kKeepAliveMs, 16000},
                      TScaleRow{"NonPositiveScaleMeansRealTime", 0.0, kKeepAliveMs, 8000}),
    [](const ::testing::TestParamInfo<TScaleRow>& info) { return info.param.name; });

// At 1/100 of real time the link watch (20 s) falls due long before the
// real-time one, and the restore prompt (1.5 s) before the scaled watch.
TEST_F(QtTimersTest, ScaledTimersFireInScaledOrder) {
  TQtTimers fast(0.01);
  TQtTimers real;
  std::vector<std::string> order;
  int realFired = 0;
  real.CreateTimer(tagLinkWatch, kLinkWatchMs, [&] { ++realFired; });
  fast.CreateTimer(tagLinkWatch, kLinkWatchMs, [&] {
    order.push_back("watch");
    fast.FreeTimers(tagLinkWatch);
  });
  fast.CreateTimer(tagRestorePrompt, kRestorePromptMs, [&] {
    order.push_back("prompt");
    fast.FreeTimers(tagRestorePrompt);
  });
  ASSERT_TRUE(ProcessUntil([&] { return order.size() >= 2; }));
  EXPECT_EQ(order, (std::vector<std::string>{"prompt", "watch"}));
  EXPECT_EQ(realFired, 0);
  EXPECT_TRUE(real.HasTimer(tagLinkWatch));
}

}  // namespace
}  // namespace zervik
