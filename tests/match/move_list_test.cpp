// The move list robots play from: it must hold exactly the moves the local
// rules accept, and every listed move must be playable through the mouse
// path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>

#include "core/game.h"
#include "core/move_list.h"
#include "core/silent_services.h"

namespace zervik::testing {
namespace {

// A position in the local view, drawn as eight lines from row 8 down to
// row 1, columns 1 ... 8 from the left: capitals are the local player's
// pieces, small letters the opponent's (R N B Q K P), "." an empty square.
class TPositionGame {
 public:
  explicit TPositionGame(int localColour, const char* rows[8] = nullptr) : game(silent.Services()) {
    game.localColour = static_cast<std::uint8_t>(localColour);
    game.StartNewGame();
    if (rows) SetBoard(rows);
  }

  void SetBoard(const char* rows[8]) {
    game.board = TBoardGrid{};
    int own = 1, theirs = 17;
    for (int k = 1; k <= kSpriteCount; ++k) game.ParkSprite(k);
    for (int line = 0; line < 8; ++line) {
      const int y = 8 - line;
      for (int x = 1; x <= 8; ++x) {
        const char c = rows[line][x - 1];
        if (c == '.') continue;
        const std::string kinds = "RNBQKP";
        const auto kind = kinds.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        ASSERT_NE(kind, std::string::npos) << c;
        const auto code = static_cast<std::int8_t>(kind + 1);
        const bool mine = std::isupper(static_cast<unsigned char>(c));
        const int k = mine ? own++ : theirs++;
        game.board[x][y] = mine ? code : static_cast<std::int8_t>(-code);
        game.spriteCode[k] = game.board[x][y];
        game.PlaceSprite(k, x, y);
      }
    }
    game.myTurn = true;
    game.gameOver = false;
  }

  std::set<std::string> Moves() const {
    std::set<std::string> texts;
    for (const TLocalMove& m : ListLocalMoves(game)) texts.insert(LongAlgebraic(game, m));
    return texts;
  }

  TSilentServices silent;
  TGame game;
};

TEST(MoveList, StartPositionHasTwentyMovesForEitherColour) {
  const std::set<std::string> white = {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3",
                                       "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4",
                                       "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"};
  EXPECT_EQ(TPositionGame(0).Moves(), white);
  const std::set<std::string> black = {"a7a6", "a7a5", "b7b6", "b7b5", "c7c6", "c7c5", "d7d6",
                                       "d7d5", "e7e6", "e7e5", "f7f6", "f7f5", "g7g6", "g7g5",
                                       "h7h6", "h7h5", "b8a6", "b8c6", "g8f6", "g8h6"};
  EXPECT_EQ(TPositionGame(1).Moves(), black);
}

TEST(MoveList, CastlingAndEachPromotionPieceAreListedAndPlayable) {
  const char* rows[8] = {
      "r...k..r",  //
      ".P......",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "R...K..R",  //
  };
  TPositionGame position(0, rows);
  const std::set<std::string> moves = position.Moves();
  for (const char* expected : {"e1g1", "e1c1", "b7b8q", "b7b8r", "b7b8b", "b7b8n", "b7a8q", "b7a8n"})
    EXPECT_EQ(moves.count(expected), 1u) << expected;
  EXPECT_EQ(moves.count("b7b8"), 0u) << "a promotion is listed with its piece";

  TGame& game = position.game;
  const std::vector<TLocalMove> list = ListLocalMoves(game);
  const auto castle = std::find(list.begin(), list.end(), TLocalMove{5, 1, 7, 1, 0});
  ASSERT_NE(castle, list.end());
  ASSERT_TRUE(PlayLocalMove(game, *castle));
  EXPECT_EQ(game.board[7][1], pcKing);
  EXPECT_EQ(game.board[6][1], pcRook);
  EXPECT_EQ(game.board[8][1], 0);
  EXPECT_FALSE(game.myTurn);

  // The other branch: a capture that promotes to a knight.
  TPositionGame again(0, rows);
  ASSERT_TRUE(PlayLocalMove(again.game, TLocalMove{2, 7, 1, 8, pcKnight}));
  EXPECT_EQ(again.game.board[1][8], pcKnight);
  EXPECT_FALSE(again.game.promotionPending);
}

TEST(MoveList, OnlyMovesThatLeaveTheKingSafe) {
  // The own bishop on (5, 2) is pinned by the rook on (5, 8); the king on
  // (5, 1) may not step onto (4, 2), which the opponent's bishop covers.
  const char* rows[8] = {
      "....r..k",  //
      "........",  //
      "........",  //
      "......b.",  //
      "........",  //
      "........",  //
      "....B...",  //
      "....K...",  //
  };
  TPositionGame position(0, rows);
  const std::set<std::string> moves = position.Moves();
  for (const std::string& m : moves) EXPECT_NE(m.substr(0, 2), "e2") << "pinned bishop moved: " << m;
  EXPECT_EQ(moves.count("e1d2"), 0u);
  EXPECT_EQ(moves, (std::set<std::string>{"e1d1", "e1f1", "e1f2"}));
}

TEST(MoveList, MateAndStalemateLeaveNoMove) {
  const char* mate[8] = {
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "qq......",  //
      "K......k",  //
  };
  EXPECT_TRUE(TPositionGame(0, mate).Moves().empty());
  const char* stalemate[8] = {
      ".......k",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "........",  //
      "..q.....",  //
      "K.......",  //
  };
  EXPECT_TRUE(TPositionGame(0, stalemate).Moves().empty());
}

TEST(MoveList, EnPassantIsListedAndTakesThePawn) {
  const char* rows[8] = {
      "....k...",  //
      "........",  //
      "........",  //
      "...pP...",  //
      "........",  //
      "........",  //
      "........",  //
      "....K...",  //
  };
  TPositionGame position(0, rows);
  position.game.enPassantFile = 4;
  EXPECT_EQ(position.Moves().count("e5d6"), 1u);
  ASSERT_TRUE(PlayLocalMove(position.game, TLocalMove{5, 5, 4, 6, 0}));
  EXPECT_EQ(position.game.board[4][5], 0);
  EXPECT_EQ(position.game.board[4][6], pcPawn);
}

TEST(MoveList, LongAlgebraicNamesRealSquaresFromBlacksView) {
  TPositionGame black(1);
  EXPECT_EQ(LongAlgebraic(black.game, TLocalMove{4, 2, 4, 4, 0}), "e7e5");
  EXPECT_EQ(LongAlgebraic(black.game, TLocalMove{4, 1, 2, 1, 0}), "e8g8");
  EXPECT_EQ(LongAlgebraic(black.game, TLocalMove{1, 7, 1, 8, pcQueen}), "h2h1q");
  EXPECT_EQ(LongAlgebraic(black.game, TLocalMove{1, 7, 1, 8, pcQueen}, false), "h2h1");
  TPositionGame white(0);
  EXPECT_EQ(LongAlgebraic(white.game, TLocalMove{7, 7, 8, 8, pcKnight}), "g7h8n");
}

TEST(MoveList, EveryListedMoveIsMadeByTheMousePath) {
  // Walk a few hundred positions of a random game from the white side
  // only: each listed move, tried on a copy, must be made; the opponent's
  // replies are placed straight on the board.
  TPositionGame position(0);
  std::mt19937 random(7);
  for (int ply = 0; ply < 60; ++ply) {
    const std::vector<TLocalMove> moves = ListLocalMoves(position.game);
    if (moves.empty()) break;
    for (const TLocalMove& m : moves) {
      TGame trial = position.game;
      ASSERT_TRUE(PlayLocalMove(trial, m)) << LongAlgebraic(position.game, m) << " at ply " << ply;
    }
    ASSERT_TRUE(PlayLocalMove(position.game, moves[random() % moves.size()]));
    // Hand the move back without an opponent: the opponent "passes".
    position.game.myTurn = true;
    position.game.enPassantFile = 0;
  }
}

}  // namespace
}  // namespace zervik::testing
