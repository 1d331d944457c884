// Setting up a new game, turning pixel points into squares, and lost
// castling rights.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/game.h"
#include "platform/timers.h"
#include "tests/core/position_setup.h"
#include "tests/core/two_copies.h"

namespace zervik::testing {
namespace {

struct TStartRow {
  const char* name;
  int colour;
  std::array<std::string, 8> board;
  int kingX, queenX;
  bool myTurn;
  bool drawEnabled;
  TColor drawColour;
};

void PrintTo(const TStartRow& row, std::ostream* os) { *os << row.name; }

class StartNewGameTest : public ::testing::TestWithParam<TStartRow> {};

TEST_P(StartNewGameTest, SetsUpBoardSpritesAndState) {
  const TStartRow& row = GetParam();
  TCopy copy;
  copy.game.localColour = static_cast<std::uint8_t>(row.colour);
  // Leftovers of an earlier game.
  copy.game.gameOver = copy.game.kingMoved = copy.game.leftRookMoved = true;
  copy.game.rightRookMoved = copy.game.drawOfferOpen = copy.game.drawOfferToSend = true;
  copy.game.moveNumber = 41;
  copy.game.enPassantFile = 3;
  copy.game.positionHistory.resize(42);
  copy.game.board[0][0] = 5;

  copy.game.StartNewGame();

  EXPECT_EQ(BoardRows(copy.game), row.board);
  EXPECT_EQ(copy.game.board[0][0], 0) << "row and column 0 are cleared too";
  EXPECT_EQ(SpriteMismatch(copy.game), "");
  EXPECT_EQ(copy.game.SpriteOn(row.kingX, 1), 5);
  EXPECT_EQ(copy.game.SpriteOn(row.queenX, 1), 4);
  EXPECT_EQ(copy.game.SpriteOn(row.kingX, 8), 21);
  EXPECT_EQ(copy.game.SpriteOn(row.queenX, 8), 20);
  EXPECT_EQ(copy.game.board[row.kingX][8], -pcKing);
  EXPECT_EQ(copy.game.SpriteOn(1, 1), 1);
  EXPECT_EQ(copy.game.SpriteOn(8, 1), 8);
  EXPECT_EQ(copy.game.SpriteOn(8, 2), 9);
  EXPECT_EQ(copy.game.SpriteOn(1, 2), 16);
  EXPECT_EQ(copy.game.SpriteOn(8, 8), 17);
  EXPECT_EQ(copy.game.SpriteOn(1, 8), 24);
  EXPECT_EQ(copy.game.SpriteOn(1, 7), 25);
  EXPECT_EQ(copy.game.SpriteOn(8, 7), 32);

  EXPECT_EQ(copy.game.myTurn, row.myTurn);
  EXPECT_FALSE(copy.game.gameOver);
  EXPECT_FALSE(copy.game.kingMoved || copy.game.leftRookMoved || copy.game.rightRookMoved);
  EXPECT_FALSE(copy.game.drawOfferOpen || copy.game.drawOfferToSend);
  EXPECT_EQ(copy.game.moveNumber, 0);
  EXPECT_EQ(copy.game.enPassantFile, 3) << "left for the first received move to rewrite";
  EXPECT_EQ(copy.game.positionHistory.size(), 42u) << "the history is kept";
  EXPECT_EQ(copy.services.drawItem.caption, "Предложить ничью");
  EXPECT_EQ(copy.services.drawItem.enabled, row.drawEnabled);
  EXPECT_EQ(copy.services.drawItem.textColour, row.drawColour);
  EXPECT_EQ(copy.services.frameWhole, 1);
  EXPECT_EQ(copy.services.skinLoads, 1);
  EXPECT_EQ(copy.services.lines, std::vector<std::string>({"Начало новой игры."}));
  EXPECT_GE(copy.services.focusCalls, 1);
}

// clang-format off
const TStartRow kStartRows[] = {
    {"White", 0,
     {"rnbqkbnr", "pppppppp", "........", "........", "........", "........", "PPPPPPPP",
      "RNBQKBNR"},
     5, 4, true, true, clBlack},
    {"Black", 1,
     {"rnbkqbnr", "pppppppp", "........", "........", "........", "........", "PPPPPPPP",
      "RNBKQBNR"},
     4, 5, false, false, clSilver},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Colours, StartNewGameTest, ::testing::ValuesIn(kStartRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A new game while a promotion pick or an animation of the old one is still
// open must not let either act on the new board.
TEST(StartNewGameTest, EndsWhatTheOldGameLeftOpen) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/8/R3K3 b - -", 0), "");
  ASSERT_TRUE(copy.game.ApplyOpponentMove("41.42"));
  copy.game.promotionPending = true;
  copy.game.pieceDragging = true;
  copy.game.StartNewGame();
  EXPECT_FALSE(copy.services.timers.HasTimer(tagAnimation));
  EXPECT_FALSE(copy.game.promotionPending);
  EXPECT_FALSE(copy.game.pieceDragging);
  EXPECT_EQ(copy.services.chooserHidden, 1);
  copy.game.icanMouseDown(35, 35);
  EXPECT_TRUE(copy.services.sent.empty());
  EXPECT_EQ(SpriteMismatch(copy.game), "");
}

struct TLocateRow {
  const char* what;
  int boardLeft;
  int hitX, hitY;
  int column, row;  // the square (3, 3) keeps what falls in no interval
};

TEST(LocateSquareTest, PixelsToSquares) {
  const TLocateRow rows[] = {
      {"corner of (1, 8)", 9, 14, 14, 1, 8},
      {"last pixel of (1, 8)", 9, 73, 73, 1, 8},
      {"first pixel of (2, 7)", 9, 74, 74, 2, 7},
      {"corner of (8, 1)", 9, 434, 434, 8, 1},
      {"last pixel of (8, 1)", 9, 493, 493, 8, 1},
      {"right of the squares keeps the column", 9, 494, 200, 3, 5},
      {"left of the board keeps the column", 9, 5, 200, 3, 5},
      {"above the board keeps the row", 9, 200, 2, 4, 3},
      {"below the squares keeps the row", 9, 200, 494, 4, 3},
      {"layout with coordinates", 20, 25, 25, 1, 8},
      {"layout with coordinates, old first pixel", 20, 14, 25, 3, 8},
  };
  for (const TLocateRow& row : rows) {
    TCopy copy;
    copy.game.boardLeft = row.boardLeft;
    copy.game.fromX = copy.game.fromY = copy.game.toX = copy.game.toY = 3;
    copy.game.hitX = row.hitX;
    copy.game.hitY = row.hitY;
    copy.game.LocateFromSquare();
    EXPECT_EQ(copy.game.fromX, row.column) << row.what;
    EXPECT_EQ(copy.game.fromY, row.row) << row.what;
    EXPECT_EQ(copy.game.hitX, 0);
    EXPECT_EQ(copy.game.hitY, 0);
    copy.game.hitX = row.hitX;
    copy.game.hitY = row.hitY;
    copy.game.LocateTargetSquare();
    EXPECT_EQ(copy.game.toX, row.column) << row.what;
    EXPECT_EQ(copy.game.toY, row.row) << row.what;
  }
}

TEST(LoseCastlingRightsTest, OnlyRowOneSquaresCount) {
  struct TRow {
    int colour, x, y;
    bool left, king, right;
  } rows[] = {
      {0, 1, 1, true, false, false},  {0, 8, 1, false, false, true},
      {0, 5, 1, false, true, false},  {0, 4, 1, false, false, false},
      {1, 4, 1, false, true, false},  {1, 5, 1, false, false, false},
      {1, 1, 1, true, false, false},  {0, 1, 2, false, false, false},
      {0, 8, 8, false, false, false}, {0, 3, 1, false, false, false},
  };
  for (const TRow& row : rows) {
    TCopy copy;
    copy.game.localColour = static_cast<std::uint8_t>(row.colour);
    copy.game.LoseCastlingRights(row.x, row.y);
    const std::string where = "colour " + std::to_string(row.colour) + " (" +
                              std::to_string(row.x) + ", " + std::to_string(row.y) + ")";
    EXPECT_EQ(copy.game.leftRookMoved, row.left) << where;
    EXPECT_EQ(copy.game.kingMoved, row.king) << where;
    EXPECT_EQ(copy.game.rightRookMoved, row.right) << where;
  }
}

}  // namespace
}  // namespace zervik::testing
