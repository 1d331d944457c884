// The link-up steps and the three ways a colour choice can run, between two
// whole copies over the in-memory TCP connection.
#include <gtest/gtest.h>

#include "tests/match/two_copies.h"

namespace zervik::testing {
namespace {

constexpr int kWhite = 0;
constexpr int kBlack = 1;

// Long enough for every message in flight to arrive and be answered.
constexpr int kSettleMs = 20;

TEST(LinkUp, ServerSendsTossThenVersionAndClientOnlyVersion) {
  TTwoCopies two;
  two.Connect();
  two.Advance(kSettleMs);
  ASSERT_GE(two.sent[kServer].size(), 2u);
  EXPECT_TRUE(two.sent[kServer][0] == "rbw0" || two.sent[kServer][0] == "rbw1") << two.sent[kServer][0];
  EXPECT_EQ(two.sent[kServer][1], "ver100");
  ASSERT_GE(two.sent[kClient].size(), 1u);
  EXPECT_EQ(two.sent[kClient][0], "ver100");
  for (int side : {kServer, kClient}) {
    const THeadlessCopy& copy = two.Copy(side);
    EXPECT_EQ(copy.screen.screenState, ssPlayerSetup);
    EXPECT_TRUE(copy.screen.panelShown);
    EXPECT_TRUE(copy.ChatEntryEnabled());
    EXPECT_TRUE(copy.RecordPanelEnabled());
    EXPECT_FALSE(copy.screen.screenButtons[btnNewGame].enabled);
    EXPECT_TRUE(copy.match.ColourAvailable(kWhite));
    EXPECT_TRUE(copy.match.ColourAvailable(kBlack));
  }
  // Exactly one copy holds priority: the toss sends the other copy the
  // complement of the bit the server keeps.
  EXPECT_EQ(two.Server().match.colourPriority + two.Client().match.colourPriority, 1);
}

TEST(LinkUp, TheTossGivesPriorityToEitherCopy) {
  int serverPriority = 0;
  constexpr int kTosses = 32;
  for (std::uint32_t seed = 1; seed <= kTosses; ++seed) {
    TTwoCopies two(seed);
    two.Connect();
    two.Advance(kSettleMs);
    ASSERT_EQ(two.Server().match.colourPriority + two.Client().match.colourPriority, 1) << "seed " << seed;
    serverPriority += two.Server().match.colourPriority;
  }
  EXPECT_GT(serverPriority, 0);
  EXPECT_LT(serverPriority, kTosses);
}

enum TCourse { coPriorityFirst, coOtherFirst, coBothAtOnce };

struct TCourseCase {
  const char* name;
  TCourse course;
  std::uint32_t seed;
};
void PrintTo(const TCourseCase& row, std::ostream* out) { *out << row.name; }


class ColourChoice : public ::testing::TestWithParam<TCourseCase> {};

TEST_P(ColourChoice, EndsWithDifferentColoursAndBothGamesStarted) {
  const TCourseCase& c = GetParam();
  TTwoCopies two(c.seed);
  two.Connect();
  two.Advance(kSettleMs);
  THeadlessCopy& p = PriorityCopy(two);
  THeadlessCopy& n = two.Other(p);
  const int side = two.SideOf(p);

  switch (c.course) {
    case coPriorityFirst: {
      ASSERT_EQ(p.PickColour(kWhite), prWaitingForOpponent);
      EXPECT_EQ(p.screen.promptText, "Ожидание другого игрока");
      EXPECT_FALSE(p.screen.screenButtons[btnPanelMid].visible);
      two.Advance(kSettleMs);
      // The priority copy sends no confirmation request.
      for (const std::string& m : two.sent[side]) EXPECT_NE(m.substr(0, 3), "vrz") << m;
      // N shows P's name on a greyed "Белые" and can only pick black.
      const TScreenButton& white = n.screen.screenButtons[btnPanelMid];
      EXPECT_EQ(white.caption, p.match.playerName);
      EXPECT_FALSE(white.enabled);
      EXPECT_EQ(white.textColour, clSilver);
      EXPECT_EQ(n.game.localColour, kBlack);
      EXPECT_EQ(n.PickColour(kWhite), prRefused);
      EXPECT_EQ(n.PickColour(kBlack), prGameStarts);
      break;
    }
    case coOtherFirst: {
      ASSERT_EQ(n.PickColour(kWhite), prWaitingForOpponent);
      two.Advance(kSettleMs);
      const std::vector<std::string>& fromN = two.sent[two.SideOf(n)];
      ASSERT_GE(fromN.size(), 2u);
      EXPECT_EQ(fromN[fromN.size() - 2], "whi" + n.match.playerName);
      EXPECT_EQ(fromN.back(), "vrzw");
      EXPECT_EQ(two.sent[side].back(), "vrzy");
      EXPECT_EQ(n.match.colourPriority, 1);
      EXPECT_EQ(p.game.localColour, kBlack);
      EXPECT_FALSE(p.screen.screenButtons[btnPanelMid].enabled);
      EXPECT_EQ(p.PickColour(kBlack), prGameStarts);
      break;
    }
    case coBothAtOnce:
      // Both picks leave before either arrives.
      ASSERT_EQ(p.PickColour(kWhite), prWaitingForOpponent);
      ASSERT_EQ(n.PickColour(kWhite), prWaitingForOpponent);
      break;
  }
  two.Advance(kSettleMs);

  for (THeadlessCopy* copy : {&p, &n}) {
    EXPECT_EQ(copy->GamesStarted(), 1);
    EXPECT_FALSE(copy->screen.panelShown);
    EXPECT_FALSE(copy->game.gameOver);
    EXPECT_TRUE(copy->screen.screenButtons[btnNewGame].enabled);
    EXPECT_EQ(copy->RecordTexts().back(), "Начало новой игры.");
  }
  EXPECT_NE(p.game.localColour, n.game.localColour);
  const int expectedWhite = c.course == coOtherFirst ? two.SideOf(n) : side;
  EXPECT_EQ(two.Copy(expectedWhite).game.localColour, kWhite);
  EXPECT_TRUE(two.Copy(expectedWhite).game.myTurn);
  EXPECT_FALSE(two.Other(two.Copy(expectedWhite)).game.myTurn);
  // Each copy knows the other's name.
  EXPECT_EQ(p.match.opponentName, n.match.playerName);
  EXPECT_EQ(n.match.opponentName, p.match.playerName);
  EXPECT_EQ(n.game.opponentName, p.match.playerName);
}

// Seeds 1 and 2 give priority to different copies (checked in the test by
// looking the priority copy up, whichever it is).
INSTANTIATE_TEST_SUITE_P(
    Courses, ColourChoice,
    ::testing::Values(TCourseCase{"PriorityPicksFirst_Seed1", coPriorityFirst, 1},
                      TCourseCase{"PriorityPicksFirst_Seed2", coPriorityFirst, 2},
                      TCourseCase{"OtherPicksFirst_Seed1", coOtherFirst, 1},
                      TCourseCase{"OtherPicksFirst_Seed2", coOtherFirst, 2},
                      TCourseCase{"BothPickWhiteAtOnce_Seed1", coBothAtOnce, 1},
                      TCourseCase{"BothPickWhiteAtOnce_Seed2", coBothAtOnce, 2}),
    [](const ::testing::TestParamInfo<TCourseCase>& info) { return std::string(info.param.name); });

// A pick that arrives while this copy's panel is still opening waits for
// the panel and then shows up greyed with the opponent's name.
TEST(ColourChoice, PickDuringThePanelAnimationIsAppliedWhenItHasOpened) {
  THeadlessCopy::TOptions slow;
  slow.panelTransitionMs = 315;
  TTwoCopies two(1, slow);
  two.Connect();
  two.Advance(320);
  THeadlessCopy& server = two.Server();
  THeadlessCopy& client = two.Client();
  ASSERT_TRUE(server.screen.panelShown);
  // The client's panel starts a fresh transition (as a repeated toss would)
  // and the server's pick arrives in the middle of it.
  client.screen.screenState = ssPlayerSetup;
  client.match.BeginColourToss();
  ASSERT_TRUE(client.screen.panelInTransition);
  two.Advance(kSettleMs);
  ASSERT_EQ(server.PickColour(kBlack), prWaitingForOpponent);
  two.Advance(kSettleMs);
  EXPECT_TRUE(client.screen.deferredClaim);
  EXPECT_EQ(client.screen.deferredClaimTag, "bla");
  EXPECT_FALSE(client.match.coloursChosen);
  two.Advance(320);
  EXPECT_FALSE(client.screen.deferredClaim);
  EXPECT_TRUE(client.match.coloursChosen);
  EXPECT_EQ(client.game.localColour, kWhite);
  const TScreenButton& black = client.screen.screenButtons[btnPanelLow];
  EXPECT_EQ(black.caption, "Сервер");
  EXPECT_FALSE(black.enabled);
  EXPECT_EQ(black.textColour, clSilver);
  EXPECT_EQ(client.PickColour(kWhite), prGameStarts);
  two.Advance(400);
  EXPECT_EQ(server.GamesStarted(), 1);
  EXPECT_EQ(client.GamesStarted(), 1);
  EXPECT_EQ(server.game.localColour, kBlack);
}

// The other copy's pick and its confirmation request both arrive while this
// copy's panel is still opening: the request is answered after the pick has
// been applied, so the two copies still end with different colours.
TEST(ColourChoice, ConfirmationRequestBehindADeferredPickIsAnsweredAfterIt) {
  THeadlessCopy::TOptions slow;
  slow.panelTransitionMs = 315;
  TTwoCopies two(2, slow);  // seed 2: the client holds priority
  two.Connect();
  two.Advance(320);
  THeadlessCopy& p = two.Client();
  THeadlessCopy& n = two.Server();
  ASSERT_EQ(p.match.colourPriority, 1);
  p.match.BeginColourToss();
  ASSERT_TRUE(p.screen.panelInTransition);
  // This copy played white before: answered at once, "vrzw" would get "vrzn".
  p.game.localColour = kWhite;
  ASSERT_EQ(n.PickColour(kWhite), prWaitingForOpponent);
  two.Advance(kSettleMs);
  EXPECT_TRUE(p.screen.deferredClaim);
  EXPECT_EQ(n.match.colourPriority, 0) << "the request must wait for the pick";
  two.Advance(320);
  EXPECT_EQ(two.sent[kClient].back(), "vrzy");
  EXPECT_EQ(p.game.localColour, kBlack);
  EXPECT_EQ(n.match.colourPriority, 1);
  EXPECT_EQ(p.PickColour(kBlack), prGameStarts);
  two.Advance(400);
  EXPECT_EQ(p.GamesStarted(), 1);
  EXPECT_EQ(n.GamesStarted(), 1);
  EXPECT_NE(p.game.localColour, n.game.localColour);
  EXPECT_EQ(n.game.localColour, kWhite);
}

}  // namespace
}  // namespace zervik::testing
