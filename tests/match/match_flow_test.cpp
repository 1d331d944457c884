// The match around the games: the version check, the link watch, new games
// asked for, accepted, refused and held back, the draw agreement, leaving,
// and the chat, between two whole copies over the in-memory connection.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/move_list.h"
#include "tests/match/two_copies.h"

namespace zervik::testing {
namespace {

constexpr int kWhite = 0;
constexpr int kBlack = 1;
constexpr int kSettleMs = 20;
// A received move is animated for 30 ticks of 15 ms.
constexpr int kAnimationMs = 30 * 15 + 20;
// A banner grows and shrinks in ten ticks of 15 ms each way.
constexpr int kBannerFrameMs = 2 * 10 * 15;

// Connects the two copies and lets `whiteSide` pick white first; the other
// copy then takes black and both games start.
void StartGame(TTwoCopies& two, int whiteSide) {
  two.Connect();
  two.Advance(kSettleMs);
  ASSERT_EQ(two.Copy(whiteSide).PickColour(kWhite), prWaitingForOpponent);
  two.Advance(kSettleMs);
  ASSERT_EQ(two.Copy(1 - whiteSide).PickColour(kBlack), prGameStarts);
  two.Advance(kSettleMs);
  ASSERT_EQ(two.Copy(whiteSide).GamesStarted(), 1);
  ASSERT_EQ(two.Copy(1 - whiteSide).GamesStarted(), 1);
  ASSERT_EQ(two.Copy(whiteSide).game.localColour, kWhite);
}

// Plays a move given in real squares ("e2e4") on `copy` and lets the other
// copy show it.
void Play(TTwoCopies& two, THeadlessCopy& copy, const std::string& move) {
  for (const TLocalMove& m : ListLocalMoves(copy.game))
    if (LongAlgebraic(copy.game, m) == move) {
      ASSERT_TRUE(copy.PlayMove(m)) << move;
      two.Advance(kAnimationMs);
      return;
    }
  FAIL() << move << " is not a legal move here";
}

bool HasBanner(const THeadlessCopy& copy, const std::string& text) {
  const auto& banners = copy.BannersRequested();
  return std::any_of(banners.begin(), banners.end(),
                     [&](const THeadlessBanner& b) { return b.text == text; });
}

int CountSent(const TTwoCopies& two, int side, const std::string& message) {
  return static_cast<int>(std::count(two.sent[side].begin(), two.sent[side].end(), message));
}

void ExpectMatchEnded(const THeadlessCopy& copy) {
  EXPECT_FALSE(copy.match.linkUp);
  EXPECT_TRUE(copy.game.gameOver);
  EXPECT_FALSE(copy.ChatEntryEnabled());
  EXPECT_TRUE(copy.RecordPanelEnabled());
  for (int item : {btnNewGame, btnDraw}) {
    EXPECT_FALSE(copy.screen.screenButtons[item].enabled);
    EXPECT_EQ(copy.screen.screenButtons[item].textColour, clSilver);
  }
}

// ---------------------------------------------------------------------------
// Version check

TEST(VersionCheck, AnotherVersionEndsTheMatchOnBothSides) {
  TTwoCopies two;
  // Each copy meets a peer of another version.
  two.rewrite = [](int, const std::string& text) { return text == "ver100" ? std::string("ver101") : text; };
  std::int64_t bannerAt[2] = {-1, -1};
  for (int side : {kServer, kClient})
    two.Copy(side).hooks.bannerShown = [&two, &bannerAt, side](const THeadlessBanner& b) {
      if (b.text == "Соединение невозможно, у вашего оппонента другая версия Zervik") {
        EXPECT_EQ(b.holdMs, 6000);
        EXPECT_TRUE(b.mainMenuOnClose);
        bannerAt[side] = two.clock.Now();
      }
    };
  two.Connect();
  two.Advance(kSettleMs);
  for (int side : {kServer, kClient}) {
    SCOPED_TRACE(side == kServer ? "server" : "client");
    const THeadlessCopy& copy = two.Copy(side);
    EXPECT_GE(bannerAt[side], 0);
    EXPECT_EQ(copy.match.endReason, meVersionMismatch);
    EXPECT_EQ(copy.screen.screenState, ssBoardOnly);
    EXPECT_FALSE(copy.screen.panelShown);
    ExpectMatchEnded(copy);
  }
  // The banner holds for 6000 ms; then the main menu opens and its opening
  // action closes the links.
  two.Advance(6000);
  EXPECT_EQ(two.Server().screen.screenState, ssBoardOnly);
  two.Advance(kBannerFrameMs + kSettleMs);
  for (int side : {kServer, kClient}) {
    EXPECT_EQ(two.Copy(side).screen.screenState, ssMainMenu);
    EXPECT_TRUE(two.Copy(side).screen.panelShown);
  }
}

struct TVersionRow {
  const char* name;
  const char* message;
  bool endsMatch;
};
void PrintTo(const TVersionRow& row, std::ostream* out) { *out << row.name; }


class VersionPayload : public ::testing::TestWithParam<TVersionRow> {};

TEST_P(VersionPayload, OnlyExactly100IsAccepted) {
  const TVersionRow& row = GetParam();
  TTwoCopies two;
  two.rewrite = [&row](int side, const std::string& text) {
    return side == kServer && text == "ver100" ? std::string(row.message) : text;
  };
  two.Connect();
  two.Advance(kSettleMs);
  EXPECT_EQ(two.Client().match.linkUp, !row.endsMatch);
  EXPECT_EQ(two.Client().match.endReason, row.endsMatch ? meVersionMismatch : meNone);
  EXPECT_EQ(two.Client().screen.screenState, row.endsMatch ? ssBoardOnly : ssPlayerSetup);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionPayload,
    ::testing::Values(TVersionRow{"Same", "ver100", false}, TVersionRow{"LeadingZero", "ver0100", false},
                      TVersionRow{"Newer", "ver101", true}, TVersionRow{"Older", "ver99", true},
                      TVersionRow{"Negative", "ver-100", true}, TVersionRow{"Empty", "ver", true},
                      TVersionRow{"NotANumber", "verabc", true}, TVersionRow{"TrailingText", "ver100a", true},
                      TVersionRow{"Huge", "ver99999999999999999999", true}),
    [](const ::testing::TestParamInfo<TVersionRow>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Link watch

class SilentPeer : public ::testing::TestWithParam<int> {};

// The cable is pulled `GetParam()` ms after the link came up; each copy
// notices the silence 8 to 28 seconds later.
TEST_P(SilentPeer, IsNoticedBetween8And28Seconds) {
  TTwoCopies two;
  std::int64_t noticedAt[2] = {-1, -1};
  for (int side : {kServer, kClient})
    two.Copy(side).hooks.bannerShown = [&two, &noticedAt, side](const THeadlessBanner& b) {
      if (b.text.size() > 4 && b.text.find(" вышел из игры") != std::string::npos) {
        EXPECT_EQ(noticedAt[side], -1) << "the end is announced twice";
        EXPECT_EQ(b.holdMs, 5000);
        noticedAt[side] = two.clock.Now();
      }
    };
  const std::int64_t linkUpAt = two.clock.Now();
  StartGame(two, kServer);
  two.Advance(linkUpAt + GetParam() - two.clock.Now());
  const std::int64_t cutAt = two.clock.Now();
  two.Cut();
  two.Advance(30000);
  for (int side : {kServer, kClient}) {
    SCOPED_TRACE(side == kServer ? "server" : "client");
    ASSERT_GE(noticedAt[side], 0) << "never noticed";
    EXPECT_GE(noticedAt[side] - cutAt, 8000);
    EXPECT_LE(noticedAt[side] - cutAt, 28000);
    EXPECT_EQ(two.Copy(side).match.endReason, meNoAnswer);
    ExpectMatchEnded(two.Copy(side));
  }
  EXPECT_TRUE(HasBanner(two.Server(), "Клиент вышел из игры"));
  EXPECT_TRUE(HasBanner(two.Client(), "Сервер вышел из игры"));
  two.Advance(5000 + kBannerFrameMs);
  EXPECT_EQ(two.Server().screen.screenState, ssMainMenu);
}

INSTANTIATE_TEST_SUITE_P(CutAfterMs, SilentPeer, ::testing::Values(100, 10000, 19990, 20010, 39990));

TEST(LinkWatch, AnsweredProbesKeepTheMatchAndAStrayAnswerChangesNothing) {
  TTwoCopies two;
  StartGame(two, kServer);
  two.Server().Receive("_ok");  // no probe is pending
  two.Advance(5 * 60 * 1000);
  for (int side : {kServer, kClient}) {
    EXPECT_TRUE(two.Copy(side).match.linkUp);
    EXPECT_EQ(two.Copy(side).match.endReason, meNone);
    // One probe every 20 s, each answered.
    EXPECT_EQ(CountSent(two, side, "oks"), 15);
    EXPECT_EQ(CountSent(two, 1 - side, "_ok"), 15);
  }
}

TEST(LinkWatch, AModemLinkProbesTheCarrierAndSendsNoKeepAlive) {
  class TModemLine final : public ISender, public ILinkControl {
   public:
    void SendToOpponent(const std::string& text) override { sent.push_back(text); }
    bool IsServerCopy() const override { return false; }
    void CloseLinks() override { ++closes; }
    bool CarrierDetect() const override { return carrier; }
    std::vector<std::string> sent;
    bool carrier = true;
    int closes = 0;
  } line;
  TVirtualTimers clock;
  THeadlessCopy copy(line, line, clock);
  copy.match.modemLinkUp = true;
  copy.LinkEstablished();
  clock.Advance(60000);
  EXPECT_EQ(std::count(line.sent.begin(), line.sent.end(), "oks"), 0);
  EXPECT_TRUE(copy.match.linkUp);
  line.carrier = false;
  clock.Advance(20000);
  EXPECT_FALSE(copy.match.linkUp);
  EXPECT_EQ(copy.match.endReason, meCarrierLost);
  EXPECT_FALSE(copy.match.modemLinkUp);
  EXPECT_GE(line.closes, 1);
}

// ---------------------------------------------------------------------------
// New game

TEST(NewGame, AcceptedLeadsBothCopiesToAFreshColourChoice) {
  TTwoCopies two;
  StartGame(two, kServer);
  Play(two, two.Server(), "e2e4");
  THeadlessCopy& asker = two.Client();
  THeadlessCopy& asked = two.Server();
  ASSERT_TRUE(asker.RequestNewGame());
  // The asker waits for consent; "new" goes out once its screen has opened.
  EXPECT_EQ(asker.screen.screenState, ssPlayerSetup);
  EXPECT_EQ(asker.screen.promptText, "Ожидание подтверждения");
  EXPECT_FALSE(asker.screen.screenButtons[btnPanelLow].visible);
  EXPECT_FALSE(asker.screen.screenButtons[btnPanelMid].visible);
  EXPECT_FALSE(asker.screen.screenButtons[btnNewGame].enabled);
  EXPECT_EQ(CountSent(two, kClient, "new"), 1);
  two.Advance(kSettleMs);
  EXPECT_EQ(asked.screen.screenState, ssNewGameQuery);
  EXPECT_EQ(asked.screen.promptText, "Клиент желает начать новую игру. Вы согласны?");
  EXPECT_EQ(asked.screen.screenButtons[btnPanelMid].caption, "Да");
  EXPECT_EQ(asked.screen.screenButtons[btnPanelLow].caption, "Нет");
  asked.AnswerNewGame(true);
  asked.AnswerNewGame(true);  // a second click finds another screen
  two.Advance(kSettleMs);
  EXPECT_EQ(CountSent(two, kServer, "acc"), 1);
  for (THeadlessCopy* copy : {&asker, &asked}) {
    EXPECT_FALSE(copy->screen.newGameRequested);
    EXPECT_EQ(copy->screen.screenState, ssPlayerSetup);
    EXPECT_EQ(copy->screen.promptText, "Введите имя:");
    EXPECT_TRUE(copy->match.ColourAvailable(kWhite));
    EXPECT_TRUE(copy->match.ColourAvailable(kBlack));
  }
  // The server has tossed again: one fresh "rbw" for each colour choice.
  EXPECT_EQ(std::count_if(two.sent[kServer].begin(), two.sent[kServer].end(),
                          [](const std::string& m) { return m.rfind("rbw", 0) == 0; }),
            2);
  ASSERT_EQ(asker.PickColour(kWhite), prWaitingForOpponent);
  two.Advance(kSettleMs);
  ASSERT_EQ(asked.PickColour(kBlack), prGameStarts);
  two.Advance(kSettleMs);
  for (THeadlessCopy* copy : {&asker, &asked}) {
    EXPECT_EQ(copy->GamesStarted(), 2);
    EXPECT_FALSE(copy->game.gameOver);
    EXPECT_EQ(copy->game.moveNumber, 0);
    EXPECT_EQ(copy->RecordTexts().back(), "Начало новой игры.");
  }
  EXPECT_EQ(asker.game.localColour, kWhite);
  EXPECT_TRUE(asker.game.myTurn);
}

TEST(NewGame, ServerAskingTossesOnceBeforeItsRequestSoNoPriorityGoesStale) {
  TTwoCopies two;
  StartGame(two, kServer);
  Play(two, two.Server(), "e2e4");
  THeadlessCopy& asker = two.Server();
  THeadlessCopy& asked = two.Client();
  const auto before = two.sent[kServer].size();
  ASSERT_TRUE(asker.RequestNewGame());
  two.Advance(kSettleMs);
  asked.AnswerNewGame(true);
  two.Advance(kSettleMs);
  const std::vector<std::string> round(two.sent[kServer].begin() + before, two.sent[kServer].end());
  const auto rbw = std::find_if(round.begin(), round.end(),
                                [](const std::string& m) { return m.rfind("rbw", 0) == 0; });
  ASSERT_NE(rbw, round.end());
  EXPECT_LT(rbw - round.begin(), std::find(round.begin(), round.end(), "new") - round.begin());
  EXPECT_EQ(std::count_if(round.begin(), round.end(),
                          [](const std::string& m) { return m.rfind("rbw", 0) == 0; }),
            1);
  // Exactly one copy holds priority for the round.
  EXPECT_EQ(asker.match.colourPriority + asked.match.colourPriority, 1);
  // The asked copy picks at once; the colours settle apart.
  ASSERT_NE(asked.PickColour(kWhite), prRefused);
  two.Advance(kSettleMs);
  EXPECT_FALSE(asker.match.ColourAvailable(kWhite));
  ASSERT_EQ(asker.PickColour(kBlack), prGameStarts);
  two.Advance(kSettleMs);
  EXPECT_EQ(asked.game.localColour, kWhite);
  EXPECT_EQ(asker.game.localColour, kBlack);
  EXPECT_EQ(asker.GamesStarted(), 2);
  EXPECT_EQ(asked.GamesStarted(), 2);
}

// The mirror case: the server consents. Its toss goes out before its "acc",
// so the asker never begins a colour choice with the last round's priority.
TEST(NewGame, ServerConsentingTossesBeforeItsAcceptance) {
  TTwoCopies two;
  StartGame(two, kServer);
  Play(two, two.Server(), "e2e4");
  THeadlessCopy& asker = two.Client();
  THeadlessCopy& asked = two.Server();
  ASSERT_TRUE(asker.RequestNewGame());
  two.Advance(kSettleMs);
  const auto before = two.sent[kServer].size();
  asked.AnswerNewGame(true);
  const std::vector<std::string> answer(two.sent[kServer].begin() + before, two.sent[kServer].end());
  ASSERT_EQ(answer.size(), 2u);
  EXPECT_EQ(answer[0].rfind("rbw", 0), 0u) << answer[0];
  EXPECT_EQ(answer[1], "acc");
  two.Advance(kSettleMs);
  EXPECT_EQ(asker.match.colourPriority + asked.match.colourPriority, 1);
  THeadlessCopy& first = asker.match.colourPriority == 1 ? asker : asked;
  // Both pick white at once: the one with priority keeps it.
  ASSERT_NE(asker.PickColour(kWhite), prRefused);
  ASSERT_NE(asked.PickColour(kWhite), prRefused);
  two.Advance(kSettleMs);
  EXPECT_EQ(asker.GamesStarted(), 2);
  EXPECT_EQ(asked.GamesStarted(), 2);
  EXPECT_NE(asker.game.localColour, asked.game.localColour);
  EXPECT_EQ(first.game.localColour, kWhite);
}

TEST(NewGame, RefusedShowsTheRefusalInRedFor3000MsThenTheGameGoesOn) {
  TTwoCopies two;
  StartGame(two, kServer);
  Play(two, two.Server(), "e2e4");
  const TBoardGrid boardBefore = two.Server().game.board;
  THeadlessCopy& asker = two.Server();
  THeadlessCopy& asked = two.Client();
  ASSERT_TRUE(asker.RequestNewGame());
  two.Advance(kSettleMs);
  asked.AnswerNewGame(false);
  EXPECT_EQ(asked.screen.screenState, ssBoardOnly);
  EXPECT_FALSE(asked.screen.panelShown);
  EXPECT_TRUE(asked.screen.screenButtons[btnNewGame].enabled);
  two.Advance(kSettleMs);
  const std::int64_t refusedAt = two.clock.Now() - kSettleMs + kPipeLatencyMs;
  EXPECT_EQ(asker.screen.promptText, "Клиент отказался начинать новую игру");
  EXPECT_EQ(asker.screen.promptColour, clRed);
  EXPECT_EQ(asker.screen.screenState, ssPlayerSetup);
  two.Advance(refusedAt + 2999 - two.clock.Now());
  EXPECT_TRUE(asker.screen.panelShown) << "the refusal must stay for 3000 ms";
  two.Advance(2);
  EXPECT_EQ(asker.screen.screenState, ssBoardOnly);
  EXPECT_FALSE(asker.screen.panelShown);
  EXPECT_TRUE(asker.screen.screenButtons[btnNewGame].enabled);
  // The game that was being played goes on: the client is still to move.
  EXPECT_EQ(asker.game.board, boardBefore);
  EXPECT_FALSE(asker.game.gameOver);
  EXPECT_TRUE(asked.CanMove());
  Play(two, asked, "e7e5");
  EXPECT_TRUE(asker.CanMove());
  EXPECT_EQ(asker.GamesStarted(), 1);
}

TEST(NewGame, RequestArrivingDuringAPieceDragOpensTheQuestionOnRelease) {
  TTwoCopies two;
  StartGame(two, kServer);
  THeadlessCopy& dragger = two.Server();  // white, to move
  ASSERT_TRUE(dragger.PressPiece(5, 2));
  ASSERT_TRUE(dragger.game.pieceDragging);
  ASSERT_TRUE(two.Client().RequestNewGame());
  two.Advance(kSettleMs);
  EXPECT_TRUE(dragger.screen.newGameQueryPending);
  EXPECT_NE(dragger.screen.screenState, ssNewGameQuery);
  EXPECT_FALSE(dragger.screen.panelShown);
  dragger.ReleasePiece();
  EXPECT_FALSE(dragger.screen.newGameQueryPending);
  EXPECT_EQ(dragger.screen.screenState, ssNewGameQuery);
  EXPECT_TRUE(dragger.screen.panelShown);
  // The piece went back: a drop on its own square is no move.
  EXPECT_EQ(dragger.game.moveNumber, 0);
  EXPECT_EQ(CountSent(two, kServer, "hod52.54"), 0);
  dragger.AnswerNewGame(true);
  two.Advance(kSettleMs);
  EXPECT_EQ(two.Client().screen.screenState, ssPlayerSetup);
  EXPECT_TRUE(two.Client().match.ColourAvailable(kWhite));
}

// ---------------------------------------------------------------------------
// Draw agreement

TEST(Draw, OfferTravelsWithTheMoveAndAcceptanceEndsBothRecords) {
  TTwoCopies two;
  StartGame(two, kServer);
  THeadlessCopy& offerer = two.Server();
  THeadlessCopy& accepter = two.Client();
  ASSERT_TRUE(offerer.ClickDrawItem());
  EXPECT_TRUE(HasBanner(offerer, "Предложение вступит в силу по завершении хода"));
  EXPECT_EQ(offerer.screen.screenButtons[btnDraw].caption, "Ничья предложена");
  EXPECT_FALSE(offerer.screen.screenButtons[btnDraw].enabled);
  EXPECT_FALSE(offerer.ClickDrawItem());
  two.Advance(3000 + kBannerFrameMs);
  Play(two, offerer, "e2e4");
  EXPECT_EQ(CountSent(two, kServer, "hod=52.54"), 1);
  two.Advance(kSettleMs);
  EXPECT_TRUE(HasBanner(accepter, "Сервер предлагает ничью"));
  const TScreenButton& item = accepter.screen.screenButtons[btnDraw];
  EXPECT_EQ(item.caption, "Согласиться с ничьей");
  EXPECT_TRUE(item.enabled);
  ASSERT_TRUE(accepter.ClickDrawItem());
  EXPECT_FALSE(accepter.ClickDrawItem());
  two.Advance(kSettleMs);
  EXPECT_EQ(CountSent(two, kClient, "dra"), 1);
  for (THeadlessCopy* copy : {&offerer, &accepter}) {
    EXPECT_TRUE(copy->game.gameOver);
    EXPECT_FALSE(copy->game.myTurn);
    EXPECT_TRUE(HasBanner(*copy, "Ничья"));
    EXPECT_EQ(copy->RecordTexts().back(), "1/2-1/2");
  }
  EXPECT_EQ(offerer.RecordTexts(), accepter.RecordTexts());
  const std::vector<std::string> record = offerer.RecordTexts();
  EXPECT_NE(std::find(record.begin(), record.end(), "1. e4="), record.end());
  // The game is over: no piece can be picked up.
  EXPECT_FALSE(accepter.CanMove());
  EXPECT_FALSE(accepter.PressPiece(5, 2));
  // "Новая игра" still works after the draw.
  EXPECT_TRUE(offerer.screen.screenButtons[btnNewGame].enabled);
}

// ---------------------------------------------------------------------------
// Leaving

TEST(Leaving, ExitEndsTheMatchOnTheOtherCopyAndLeadsToTheMainMenu) {
  TTwoCopies two;
  StartGame(two, kServer);
  Play(two, two.Server(), "e2e4");
  two.Client().TypeChat("пока");
  two.Advance(kSettleMs);
  const std::vector<std::string> recordBefore = two.Server().RecordTexts();
  two.Client().Leave();
  EXPECT_EQ(two.sent[kClient].back(), "ext");
  two.Advance(kSettleMs);
  THeadlessCopy& stayer = two.Server();
  EXPECT_EQ(stayer.match.endReason, meOpponentLeft);
  EXPECT_TRUE(HasBanner(stayer, "Клиент вышел из игры"));
  EXPECT_EQ(stayer.screen.screenState, ssBoardOnly);
  ExpectMatchEnded(stayer);
  // The board keeps the last position; the record and the chat stay.
  EXPECT_EQ(stayer.game.board[5][4], pcPawn);
  EXPECT_EQ(stayer.RecordTexts(), recordBefore);
  // A repeated "ext" changes nothing.
  const std::size_t banners = stayer.BannersRequested().size();
  stayer.Receive("ext");
  EXPECT_EQ(stayer.BannersRequested().size(), banners);
  two.Advance(5000 + kBannerFrameMs + kSettleMs);
  EXPECT_EQ(stayer.screen.screenState, ssMainMenu);
  EXPECT_GE(two.CloseCalls(kServer), 1);
  // No link watch survives the match.
  const std::size_t sentBefore = two.sent[kServer].size();
  two.Advance(60000);
  EXPECT_EQ(two.sent[kServer].size(), sentBefore);
}

// ---------------------------------------------------------------------------
// Chat

TEST(Chat, LinesAreShownInTheWritersColourOnBothCopies) {
  TTwoCopies two;
  StartGame(two, kServer);  // the server plays white
  two.Server().TypeChat("привет");
  EXPECT_TRUE(two.Server().ChatEntryLines().empty());
  EXPECT_TRUE(two.Server().ChatEntryFocused());
  two.Advance(kSettleMs);
  Play(two, two.Server(), "e2e4");
  two.Client().TypeChat("здравствуй");
  two.Advance(kSettleMs);
  EXPECT_EQ(CountSent(two, kServer, "chtСервер: привет"), 1);
  for (THeadlessCopy* copy : {&two.Server(), &two.Client()}) {
    const auto& lines = copy->RecordLines();
    ASSERT_GE(lines.size(), 4u);
    const auto n = lines.size();
    EXPECT_EQ(lines[n - 3].text, "Сервер: привет");
    EXPECT_EQ(lines[n - 3].colour, clNavy);
    EXPECT_EQ(lines[n - 2].text, "1. e4");
    EXPECT_EQ(lines[n - 2].colour, clBlack);
    EXPECT_EQ(lines[n - 1].text, "Клиент: здравствуй");
    EXPECT_EQ(lines[n - 1].colour, clMaroon);
    // Whoever wrote last, the typing focus is back in the entry.
    EXPECT_TRUE(copy->ChatEntryFocused());
  }
  // Only a received line plays the sound.
  EXPECT_EQ(two.Server().ChatSoundsPlayed(), 1);
  EXPECT_EQ(two.Client().ChatSoundsPlayed(), 1);
}

TEST(Chat, EmptyEntryAndEmptyNameAndTheInspectionCommand) {
  TTwoCopies two;
  StartGame(two, kServer);
  THeadlessCopy& white = two.Server();
  const std::size_t sentBefore = two.sent[kServer].size();
  const std::size_t linesBefore = white.RecordLines().size();
  white.TypeChat("");
  EXPECT_EQ(two.sent[kServer].size(), sentBefore);
  EXPECT_EQ(white.RecordLines().size(), linesBefore);

  white.match.playerName.clear();
  white.TypeChat("без имени");
  two.Advance(kSettleMs);
  EXPECT_EQ(white.RecordTexts().back(), ": без имени");
  EXPECT_EQ(two.Client().RecordTexts().back(), ": без имени");
}

struct TInspectionRow {
  const char* name;
  const char* line;
  bool sentAsChat;
  const char* shown;  // the line added to the record when not sent
};
void PrintTo(const TInspectionRow& row, std::ostream* out) { *out << row.name; }


class Inspection : public ::testing::TestWithParam<TInspectionRow> {};

TEST_P(Inspection, OnlyTwoBoardDigitsNameACell) {
  const TInspectionRow& row = GetParam();
  TTwoCopies two;
  StartGame(two, kServer);
  THeadlessCopy& white = two.Server();
  const std::size_t sentBefore = two.sent[kServer].size();
  white.TypeChat(row.line);
  two.Advance(kSettleMs);
  if (row.sentAsChat) {
    EXPECT_EQ(two.sent[kServer].size(), sentBefore + 1);
    EXPECT_EQ(two.sent[kServer].back(), std::string("chtСервер: ") + row.line);
    EXPECT_TRUE(white.ChatEntryLines().empty());
  } else {
    EXPECT_EQ(two.sent[kServer].size(), sentBefore);
    EXPECT_EQ(white.RecordTexts().back(), row.shown);
    // The entry keeps the command.
    ASSERT_EQ(white.ChatEntryLines().size(), 1u);
    EXPECT_EQ(white.ChatEntryLines()[0], row.line);
    EXPECT_EQ(white.ChatSoundsPlayed(), 0);
  }
}

// The white copy's start position: (5, 1) the own king (code 5), (4, 8) the
// opponent's queen (code -4, shown as the Windows-1251 character 0xFC "ь"),
// (5, 4) empty.
INSTANTIATE_TEST_SUITE_P(
    Rows, Inspection,
    ::testing::Values(TInspectionRow{"OwnKing", "nah51", false, "\x05"},
                      TInspectionRow{"OpponentQueen", "nah48", false, "ь"},
                      TInspectionRow{"EmptySquare", "nah54", false, ""},
                      TInspectionRow{"LongerLine", "nah11 rook", false, "\x01"},
                      TInspectionRow{"ThreeLetters", "nah", true, ""},
                      TInspectionRow{"FourCharacters", "nah5", true, ""},
                      TInspectionRow{"ColumnNine", "nah91", true, ""},
                      TInspectionRow{"RowZero", "nah50", true, ""},
                      TInspectionRow{"NotDigits", "nahxy", true, ""},
                      TInspectionRow{"Word", "nahodka", true, ""}),
    [](const ::testing::TestParamInfo<TInspectionRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zervik::testing

namespace zervik::testing {
namespace {

// Knights out and back twice: the white copy's third visit of the same
// position ends the game on both copies with the same record.
TEST(Repetition, ThirdOccurrenceEndsTheGameOnBothCopiesWithOneRecord) {
  TTwoCopies two;
  StartGame(two, kServer);
  THeadlessCopy& white = two.Server();
  THeadlessCopy& black = two.Client();
  for (int round = 0; round < 2; ++round) {
    Play(two, white, "g1f3");
    Play(two, black, "g8f6");
    Play(two, white, "f3g1");
    Play(two, black, "f6g8");
  }
  ASSERT_FALSE(white.game.gameOver);
  // The position after white's first move, for the third time.
  Play(two, white, "g1f3");
  two.Advance(10000);
  for (THeadlessCopy* copy : {&white, &black}) {
    EXPECT_TRUE(copy->game.gameOver);
    EXPECT_FALSE(copy->CanMove());
    EXPECT_TRUE(HasBanner(*copy, "Позиция на доске повторилась 3 раза"));
    EXPECT_TRUE(HasBanner(*copy, "Ничья"));
  }
  EXPECT_EQ(white.RecordTexts(), black.RecordTexts());
  EXPECT_EQ(black.RecordTexts().back(), "1/2-1/2");
}

}  // namespace
}  // namespace zervik::testing
