// Two copies play hundreds of random games against each other on the
// virtual clock. After every move the two boards must be exact mirror
// images and the two records identical line by line, and every game must
// end by one of the ways chess ends. Random play has no end of its own: a
// copy that has made kDrawAfterMoves moves offers a draw with its next
// move, and the other copy accepts it.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "core/move_list.h"
#include "tests/match/two_copies.h"

namespace zervik::testing {
namespace {

constexpr int kGames = 200;
constexpr int kDrawAfterMoves = 150;
constexpr int kRobotTag = 7000;  // + side: a robot's delayed action
constexpr int kStepMs = 50;
constexpr std::size_t kRecordTail = 8;
// No game of this test may need more virtual time than this.
constexpr std::int64_t kGameTimeLimitMs = 4LL * 60 * 60 * 1000;

enum TGameEnd { geNone, geMate, geStalemate, geBareKings, geRepetition, geAgreedDraw };

const char* EndName(TGameEnd end) {
  switch (end) {
    case geMate:
      return "mate";
    case geStalemate:
      return "stalemate";
    case geBareKings:
      return "bare kings";
    case geRepetition:
      return "repetition";
    case geAgreedDraw:
      return "agreed draw";
    default:
      return "none";
  }
}

std::string DrawBoard(const TGame& game) {
  std::ostringstream text;
  const std::string letters = ".RNBQKP";
  for (int y = 8; y >= 1; --y) {
    for (int x = 1; x <= 8; ++x) {
      const int code = game.board[x][y];
      const char c = letters[static_cast<std::size_t>(code < 0 ? -code : code)];
      text << (code < 0 ? static_cast<char>(std::tolower(c)) : c);
    }
    text << '\n';
  }
  return text.str();
}

bool HasBanner(const THeadlessCopy& copy, std::size_t from, const std::string& text) {
  const auto& banners = copy.BannersRequested();
  for (std::size_t i = from; i < banners.size(); ++i)
    if (banners[i].text == text) return true;
  return false;
}

class TSoak {
 public:
  explicit TSoak(std::uint32_t seed) : two(seed), random(seed) {
    for (int side : {kServer, kClient}) {
      THeadlessCopy& copy = two.Copy(side);
      copy.hooks.screenOpened = [this, side](int state) { ScreenOpened(side, state); };
      copy.hooks.myTurn = [this, side] { MyTurn(side); };
    }
  }

  // Runs the games; returns how each one ended.
  std::map<TGameEnd, int> Run(int games) {
    two.Connect();
    std::map<TGameEnd, int> ends;
    for (int game = 0; game < games; ++game) {
      const std::int64_t startedAt = two.clock.Now();
      // Until both copies see the game over and every notice and animation
      // has run out.
      while (!GameFinished(game + 1)) {
        two.Advance(kStepMs);
        if (::testing::Test::HasFatalFailure() || failed) return ends;
        if (two.clock.Now() - startedAt > kGameTimeLimitMs) {
          ADD_FAILURE() << "game " << game << " does not end";
          return ends;
        }
      }
      const TGameEnd end = ClassifyEnd();
      if (end == geNone) return ends;
      ++ends[end];
      CheckSameGame("game end");
      if (failed) return ends;
      // The copies take turns at asking for the next game.
      if (game + 1 < games) {
        StartNextGame(game % 2 == 0 ? kServer : kClient);
        if (failed) return ends;
      }
    }
    return ends;
  }

 private:
  // Game number `game` (counted from 1) is over on both copies, and every
  // notice and animation has run out.
  bool GameFinished(int game) const {
    for (int side : {kServer, kClient}) {
      const THeadlessCopy& copy = two.Copy(side);
      if (copy.GamesStarted() != game || !copy.game.gameOver || !copy.Quiet()) return false;
    }
    return true;
  }

  void StartNextGame(int asker) {
    bannersBefore[kServer] = two.Server().BannersRequested().size();
    bannersBefore[kClient] = two.Client().BannersRequested().size();
    agreedDraw = false;
    lastMover = -1;
    if (!two.Copy(asker).RequestNewGame()) Fail("\"Новая игра\" is disabled after a game");
  }

  // The robots: a colour pick and the answer to a new-game question after
  // a random pause, so that the three courses of the colour choice all
  // occur; a move as soon as it is the copy's turn.
  void ScreenOpened(int side, int state) {
    THeadlessCopy& copy = two.Copy(side);
    if (state == ssPlayerSetup && !copy.screen.newGameRequested) {
      const int colour = static_cast<int>(random() % 2);
      Later(side, static_cast<int>(random() % 40), [this, side, colour] {
        THeadlessCopy& c = two.Copy(side);
        if (c.match.ColourAvailable(colour))
          c.PickColour(colour);
        else if (c.match.ColourAvailable(1 - colour))
          c.PickColour(1 - colour);
      });
    } else if (state == ssNewGameQuery) {
      Later(side, static_cast<int>(random() % 40), [this, side] { two.Copy(side).AnswerNewGame(true); });
    }
  }

  void Later(int side, int ms, std::function<void()> action) {
    const int tag = kRobotTag + side;
    two.clock.FreeTimers(tag);
    two.clock.CreateTimer(tag, ms, [this, tag, action = std::move(action)] {
      two.clock.FreeTimers(tag);
      action();
    });
  }

  void MyTurn(int side) {
    if (failed) return;
    THeadlessCopy& copy = two.Copy(side);
    // White may get its first turn while the deciding pick is still on its
    // way to the other copy; from then on both copies hold the same game.
    if (two.Server().GamesStarted() == two.Client().GamesStarted()) CheckSameGame("before a move");
    if (failed) return;
    if (copy.game.drawOfferOpen && copy.screen.screenButtons[btnDraw].caption == "Согласиться с ничьей") {
      if (!copy.ClickDrawItem()) return Fail("the draw offer cannot be accepted");
      agreedDraw = true;
      return;
    }
    if (copy.game.moveNumber >= kDrawAfterMoves && copy.screen.screenButtons[btnDraw].enabled &&
        !copy.game.drawOfferOpen)
      copy.ClickDrawItem();
    const std::vector<TLocalMove> moves = ListLocalMoves(copy.game);
    if (moves.empty()) return Fail("my turn without a legal move");
    const TLocalMove move = moves[random() % moves.size()];
    if (!copy.PlayMove(move)) return Fail("listed move " + LongAlgebraic(copy.game, move) + " refused");
    lastMover = side;
  }

  void CheckSameGame(const char* when) {
    const TGame& a = two.Server().game;
    const TGame& b = two.Client().game;
    for (int x = 1; x <= 8; ++x)
      for (int y = 1; y <= 8; ++y)
        if (a.board[x][y] != -b.board[9 - x][9 - y])
          return Fail(std::string("boards differ ") + when + ":\n" + DrawBoard(a) + "--\n" + DrawBoard(b));
    // The record grows over hundreds of games; lines well before the last
    // move line can no longer change, so only the tail is compared again.
    const auto& ra = two.Server().RecordLines();
    const auto& rb = two.Client().RecordLines();
    if (ra.size() != rb.size())
      return Fail(std::string("records differ in length ") + when + ": " + std::to_string(ra.size()) +
                  " / " + std::to_string(rb.size()));
    for (std::size_t i = recordChecked > kRecordTail ? recordChecked - kRecordTail : 0; i < ra.size(); ++i)
      if (ra[i].text != rb[i].text)
        return Fail(std::string("records differ ") + when + " at line " + std::to_string(i) + ": \"" +
                    ra[i].text + "\" / \"" + rb[i].text + "\"");
    recordChecked = ra.size();
  }

  TGameEnd ClassifyEnd() {
    if (agreedDraw) return geAgreedDraw;
    const THeadlessCopy* banners[2] = {&two.Server(), &two.Client()};
    auto anyBanner = [&](const std::string& text) {
      return HasBanner(*banners[0], bannersBefore[kServer], text) ||
             HasBanner(*banners[1], bannersBefore[kClient], text);
    };
    if (lastMover < 0) {
      Fail("a game ended without a move");
      return geNone;
    }
    const THeadlessCopy& toMove = two.Other(two.Copy(lastMover));
    const bool noMove = ListLocalMoves(toMove.game).empty();
    TGame probe = toMove.game;
    probe.CheckOwnKing();
    if (anyBanner("Мат")) {
      if (!noMove || !probe.kingInCheck) Fail("\"Мат\" in a position that is no mate:\n" + DrawBoard(toMove.game));
      return geMate;
    }
    if (anyBanner("Пат")) {
      if (!noMove || probe.kingInCheck) Fail("\"Пат\" in a position that is no stalemate");
      return geStalemate;
    }
    if (anyBanner("Позиция на доске повторилась 3 раза")) return geRepetition;
    if (anyBanner("Ничья")) {
      int pieces = 0;
      for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) {
          const int code = toMove.game.board[x][y];
          if (code != 0 && code != pcKing && code != -pcKing) ++pieces;
        }
      if (pieces > 1) Fail("\"Ничья\" with material on the board:\n" + DrawBoard(toMove.game));
      return geBareKings;
    }
    Fail("the game ended in no known way:\n" + DrawBoard(toMove.game));
    return geNone;
  }

  void Fail(const std::string& why) {
    if (failed) return;
    failed = true;
    ADD_FAILURE() << why << " (game " << two.Server().GamesStarted() << ", t=" << two.clock.Now() << " ms)";
  }

  TTwoCopies two;
  std::mt19937 random;
  int lastMover = -1;
  bool agreedDraw = false;
  bool failed = false;
  std::size_t recordChecked = 0;
  std::size_t bannersBefore[2] = {0, 0};
};

TEST(Soak, TwoHundredRandomGamesStayInStepAndEndProperly) {
  TSoak soak(20261211);
  const std::map<TGameEnd, int> ends = soak.Run(kGames);
  int total = 0;
  for (const auto& [end, count] : ends) {
    total += count;
    std::cout << EndName(end) << ": " << count << "\n";
  }
  EXPECT_EQ(total, kGames);
  // Random play reaches the draw offer most of the time, but not always.
  EXPECT_GT(ends.count(geAgreedDraw) ? ends.at(geAgreedDraw) : 0, 0);
  EXPECT_LT(ends.count(geAgreedDraw) ? ends.at(geAgreedDraw) : 0, kGames);
}

}  // namespace
}  // namespace zervik::testing
