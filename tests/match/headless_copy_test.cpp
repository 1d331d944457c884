// The in-memory stand-ins of the headless copy that the match tests and the
// test peer rely on: the banner queue with its hold times and end effects,
// and the timers of two copies sharing one clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/virtual_timers.h"
#include "protocol/headless_copy.h"

namespace zervik::testing {
namespace {

class TNoLink final : public ISender, public ILinkControl {
 public:
  void SendToOpponent(const std::string& text) override { sent.push_back(text); }
  bool IsServerCopy() const override { return false; }
  void CloseLinks() override { ++closes; }
  bool CarrierDetect() const override { return true; }
  std::vector<std::string> sent;
  int closes = 0;
};

// Ten grow ticks and ten shrink ticks of 15 ms around the hold time.
constexpr int kFrameMs = 10 * 15;

class HeadlessBanners : public ::testing::Test {
 protected:
  TNoLink link;
  TVirtualTimers clock;
  THeadlessCopy copy{link, link, clock};
  IBanners& banners() { return *copy.game.services.banners; }
};

TEST_F(HeadlessBanners, HoldTimeThenTurnRestoredThenTheNextNotice) {
  banners().ShowBanner("Шах", 1500, clBlack, true, true, false);
  banners().ShowBanner("Мат", 3000, clBlack, false, false, false);
  EXPECT_TRUE(copy.BannerActive());
  EXPECT_EQ(copy.BannersQueued(), 1);
  clock.Advance(kFrameMs + 1500 + kFrameMs - 1);
  EXPECT_FALSE(copy.game.myTurn) << "the turn comes back only when the banner has gone";
  clock.Advance(1);
  EXPECT_TRUE(copy.game.myTurn);
  EXPECT_EQ(copy.BannersQueued(), 0);
  EXPECT_TRUE(copy.BannerActive());  // "Мат" has started
  clock.Advance(kFrameMs + 3000 + kFrameMs);
  EXPECT_FALSE(copy.BannerActive());
  EXPECT_TRUE(copy.game.myTurn) << "a banner without turn restore leaves myTurn alone";
  EXPECT_EQ(clock.Count(), 0);
}

TEST_F(HeadlessBanners, AFullQueueDropsFurtherNoticesAndMainMenuClosesTheLinks) {
  banners().ShowBanner("first", 100, clBlack, false, false, true);
  for (int i = 0; i < kBannerQueueSlots + 5; ++i) banners().ShowBanner("queued", 10, clBlack, false, false, false);
  EXPECT_EQ(copy.BannersQueued(), kBannerQueueSlots);
  clock.Advance(kFrameMs + 100 + kFrameMs);
  EXPECT_EQ(copy.BannersQueued(), kBannerQueueSlots - 1);
  EXPECT_EQ(copy.screen.screenState, ssMainMenu);
  EXPECT_TRUE(copy.screen.panelShown);
  EXPECT_EQ(copy.screen.screenButtons[btnPanelTop].caption, "Игра по локальной сети");
  EXPECT_EQ(link.closes, 1);
}

TEST(HeadlessTimers, TwoCopiesOnOneClockDoNotFreeEachOthersTimers) {
  TNoLink linkA, linkB;
  TVirtualTimers clock;
  THeadlessCopy::TOptions a, b;
  a.timerTagOffset = 1000;
  b.timerTagOffset = 2000;
  THeadlessCopy first(linkA, linkA, clock, a);
  {
    THeadlessCopy second(linkB, linkB, clock, b);
    first.LinkEstablished();
    second.LinkEstablished();
    // One copy ends its match: only its own link watch stops.
    second.Receive("ext");
    clock.Advance(20000);
    EXPECT_EQ(std::count(linkA.sent.begin(), linkA.sent.end(), "oks"), 1);
    EXPECT_EQ(std::count(linkB.sent.begin(), linkB.sent.end(), "oks"), 0);
  }
  // A destroyed copy leaves no timer behind that could call into it.
  clock.Advance(60000);
  EXPECT_FALSE(first.match.linkUp);  // no "_ok" ever came
  EXPECT_EQ(first.match.endReason, meNoAnswer);
}

TEST(HeadlessTimers, TimeScaleStretchesEveryInterval) {
  TNoLink link;
  TVirtualTimers clock;
  THeadlessCopy::TOptions fast;
  fast.timeScale = 0.01;
  THeadlessCopy copy(link, link, clock, fast);
  copy.LinkEstablished();
  clock.Advance(200);  // 20000 ms at a hundredth
  EXPECT_EQ(std::count(link.sent.begin(), link.sent.end(), "oks"), 1);
  clock.Advance(80);  // the 8000 ms answer timer
  EXPECT_EQ(copy.match.endReason, meNoAnswer);
}

}  // namespace
}  // namespace zervik::testing
