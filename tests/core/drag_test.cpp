// Picking a piece up, dragging its picture and dropping it.
#include <gtest/gtest.h>

#include <string>

#include "core/game.h"
#include "tests/core/position_setup.h"
#include "tests/core/two_copies.h"

namespace zervik::testing {
namespace {

class DragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/1p6/R3K3 w - -", 0), "");
    rook = copy.game.SpriteOn(1, 1);
    ASSERT_NE(rook, 0);
  }
  int CentreX(int x) const { return copy.game.SquareLeft(x) + 30; }
  int CentreY(int y) const { return copy.game.SquareTop(y) + 30; }
  TCopy copy;
  int rook = 0;
};

TEST_F(DragTest, PressesThatPickNothingUp) {
  const TGame& g = copy.game;
  struct TRow {
    const char* what;
    int x, y;
  } rows[] = {
      {"an empty square", CentreX(4), CentreY(4)},
      {"an opponent piece", CentreX(2), CentreY(2)},
      {"the border line left of the rook", g.SquareLeft(1), CentreY(1)},
      {"the border line above the rook", CentreX(1), g.SquareTop(1)},
      {"outside the board", 2, 2},
  };
  for (const TRow& row : rows) {
    EXPECT_FALSE(copy.game.PickUpPiece(row.x, row.y)) << row.what;
    EXPECT_FALSE(copy.game.pieceDragging) << row.what;
  }
}

TEST_F(DragTest, NoPickUpOutOfTurnOrAfterTheGame) {
  copy.game.myTurn = false;
  EXPECT_FALSE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  copy.game.myTurn = true;
  copy.game.gameOver = true;
  EXPECT_FALSE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  EXPECT_FALSE(copy.game.pieceDragging);
}

TEST_F(DragTest, ParkedOwnPieceCannotBePickedUp) {
  copy.game.ParkSprite(rook);
  EXPECT_FALSE(copy.game.PickUpPiece(copy.game.spriteX[rook] + 30, copy.game.spriteY[rook] + 30));
}

TEST_F(DragTest, PictureKeepsItsGrabOffset) {
  ASSERT_TRUE(copy.game.PickUpPiece(CentreX(1) + 10, CentreY(1) - 7));
  EXPECT_EQ(copy.game.activeSprite, rook);
  EXPECT_EQ(copy.game.fromX, 1);
  EXPECT_EQ(copy.game.fromY, 1);
  EXPECT_EQ(copy.game.grabOffsetX, 10);
  EXPECT_EQ(copy.game.grabOffsetY, -7);
  copy.game.DragPiece(CentreX(1) + 10 + 60, CentreY(1) - 7 - 120);
  EXPECT_EQ(copy.game.spriteX[rook], copy.game.SquareLeft(2));
  EXPECT_EQ(copy.game.spriteY[rook], copy.game.SquareTop(3));
  EXPECT_GT(copy.services.redrawChanged, 0);
}

TEST_F(DragTest, PictureStopsFourPixelsInsideTheBoard) {
  const TGame& g = copy.game;
  ASSERT_TRUE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  struct TRow {
    const char* what;
    int x, y;
    int spriteX, spriteY;
  } rows[] = {
      {"far up and left", -500, -500, g.boardLeft + 4, g.boardTop + 4},
      {"far down and right", 2000, 2000, g.boardLeft + g.boardWidth - 60 - 4,
       g.boardTop + g.boardHeight - 60 - 4},
      {"inside", 200, 200, 170, 170},
  };
  for (const TRow& row : rows) {
    copy.game.DragPiece(row.x, row.y);
    EXPECT_EQ(copy.game.spriteX[rook], row.spriteX) << row.what;
    EXPECT_EQ(copy.game.spriteY[rook], row.spriteY) << row.what;
  }
}

// Released outside the board, the piece lands on the edge square under the
// clamped picture.
TEST_F(DragTest, ReleaseOutsideTheBoardUsesTheEdgeSquare) {
  ASSERT_TRUE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  copy.game.DragPiece(-300, CentreY(1));
  copy.game.DragPiece(CentreX(1), -300);
  copy.game.DropPiece();
  EXPECT_FALSE(copy.game.pieceDragging);
  EXPECT_EQ(copy.game.board[1][8], pcRook);
  EXPECT_EQ(copy.game.SpriteOn(1, 8), rook);
  ASSERT_FALSE(copy.services.sent.empty());
  EXPECT_EQ(copy.services.sent.back(), "hod11.18");
}

TEST_F(DragTest, DragOutOfTurnDoesNotMoveThePicture) {
  ASSERT_TRUE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  copy.game.myTurn = false;
  const int x = copy.game.spriteX[rook];
  copy.game.DragPiece(CentreX(4), CentreY(1));
  EXPECT_EQ(copy.game.spriteX[rook], x);
}

// The turn was taken, or the game ended, while the piece was in the air:
// the drop makes no move, puts the picture back and ends the drag.
TEST_F(DragTest, DropAfterTheTurnWasTakenPutsThePictureBack) {
  for (const char* what : {"turn taken", "game ended"}) {
    TCopy other;
    ASSERT_EQ(SetUpFromFen(other.game, "4k3/8/8/8/8/8/1p6/R3K3 w - -", 0), "");
    TGame& g = other.game;
    const int k = g.SpriteOn(1, 1);
    ASSERT_TRUE(g.PickUpPiece(CentreX(1), CentreY(1)));
    g.DragPiece(CentreX(4), CentreY(1));
    if (std::string(what) == "turn taken")
      g.myTurn = false;
    else
      g.gameOver = true;
    g.DropPiece();
    EXPECT_FALSE(g.pieceDragging) << what;
    EXPECT_EQ(g.SpriteOn(1, 1), k) << what;
    EXPECT_EQ(g.board[1][1], pcRook) << what;
    EXPECT_TRUE(other.services.sent.empty()) << what;
  }
}

// A drop whose target was never located (the picture was put off the board
// without the drag's clamping) is refused instead of indexing column 0.
TEST_F(DragTest, DropOffTheBoardWithoutATargetIsRefused) {
  ASSERT_TRUE(copy.game.PickUpPiece(CentreX(1), CentreY(1)));
  copy.game.spriteX[rook] = -1000;
  copy.game.toX = copy.game.toY = 0;
  copy.game.DropPiece();
  EXPECT_TRUE(copy.services.sent.empty());
  EXPECT_EQ(copy.game.SpriteOn(1, 1), rook);
  EXPECT_TRUE(copy.game.myTurn);
}

TEST_F(DragTest, DropWithoutADragDoesNothing) {
  copy.game.DropPiece();
  EXPECT_TRUE(copy.services.sent.empty());
  EXPECT_EQ(copy.services.redrawChanged, 0);
}

}  // namespace
}  // namespace zervik::testing
