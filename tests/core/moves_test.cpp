// Making and applying moves, and the ends of a game, with two copies joined
// as in a match.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game.h"
#include "core/game_constants.h"
#include "platform/timers.h"
#include "tests/core/position_setup.h"
#include "tests/core/two_copies.h"

namespace zervik::testing {
namespace {

using Lines = std::vector<std::string>;

class MovesTest : public ::testing::Test {
 protected:
  // Both copies in the position of `fen`.
  void SetUpBoth(const char* fen) {
    ASSERT_EQ(SetUpFromFen(copies.white.game, fen, 0), "");
    ASSERT_EQ(SetUpFromFen(copies.black.game, fen, 1), "");
  }
  TTwoCopies copies;
  TCopy& white = copies.white;
  TCopy& black = copies.black;
};

// hod52.54 from white is (4, 7) -> (4, 5) on the black copy; a black pawn
// beside the target opens en passant on that column.
TEST_F(MovesTest, BlackCopyReceivesDoubleStep) {
  struct TRow {
    const char* fen;
    int enPassantFile;
  } rows[] = {
      {"4k3/8/8/8/3p4/8/4P3/4K3 w - -", 4},  // black pawn on d4 = local (5, 5)
      {"4k3/8/8/8/5p2/8/4P3/4K3 w - -", 4},  // black pawn on f4 = local (3, 5)
      {"4k3/8/8/8/6p1/8/4P3/4K3 w - -", 0},  // g4 is not beside e4
      {"4k3/8/8/8/3P4/8/4P3/4K3 w - -", 0},  // a white pawn beside does not count
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.fen);
    TCopy copy;
    copy.game.localColour = 1;
    ASSERT_EQ(SetUpFromFen(copy.game, row.fen, 1), "");
    ASSERT_TRUE(copy.game.ApplyOpponentMove("52.54"));
    EXPECT_EQ(copy.game.board[4][7], 0);
    EXPECT_EQ(copy.game.board[4][5], -pcPawn);
    EXPECT_EQ(copy.game.remoteFromX, 4);
    EXPECT_EQ(copy.game.remoteFromY, 7);
    EXPECT_EQ(copy.game.enPassantFile, row.enPassantFile);
    EXPECT_TRUE(copy.services.sent.empty()) << "no check, nothing to answer";
  }
}

TEST_F(MovesTest, EnPassantOnBothCopies) {
  SetUpBoth("4k3/3p4/8/4P3/8/8/8/4K3 b - -");
  copies.Play(black, "d7", "d5");
  EXPECT_EQ(white.game.enPassantFile, 4);
  copies.Play(white, "e5", "d6");
  EXPECT_EQ(white.services.lines.back(), "1. ed6 e.p.");
  EXPECT_EQ(black.services.lines.back(), "1. ed6 e.p.");
  for (TCopy* c : {&white, &black}) {
    EXPECT_EQ(SpriteMismatch(c->game), "");
    EXPECT_EQ(c->game.board[c->X("d5")][c->Y("d5")], 0);
  }
}

// The record line of the move, then the piece letter, then the move.
TEST_F(MovesTest, PromotionSendsLineThenLetterThenMove) {
  struct TRow {
    int code;
    const char* letter;
    const char* hod;
    int pickX;  // the piece's place in the chooser
  } rows[] = {{pcQueen, "Ф", "hod57f58", 35},
              {pcRook, "Л", "hod57l58", 100},
              {pcBishop, "С", "hod57o58", 165},
              {pcKnight, "К", "hod57k58", 230}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.hod);
    TCopy copy;
    // The black pawn keeps a minor promotion from being a bare-king draw.
    ASSERT_EQ(SetUpFromFen(copy.game, "8/4P3/8/8/8/8/k6p/4K3 w - -", 0), "");
    const int pawnSprite = copy.game.SpriteOn(5, 7);
    copy.MoveLocal(5, 7, 5, 8);
    EXPECT_TRUE(copy.game.promotionPending);
    EXPECT_EQ(copy.services.chooserShown, 1);
    EXPECT_EQ(copy.services.sent, Lines({"logl1. e8"})) << "the move waits for the pick";
    EXPECT_FALSE(copy.game.myTurn);
    copy.game.icanMouseDown(3, 35);  // between the frame and the queen: nothing
    EXPECT_TRUE(copy.game.promotionPending);
    copy.game.icanMouseDown(row.pickX, 35);
    EXPECT_EQ(copy.services.sent, Lines({"logl1. e8", std::string("loga") + row.letter, row.hod}));
    EXPECT_EQ(copy.services.lines.back(), std::string("1. e8") + row.letter);
    EXPECT_EQ(copy.game.board[5][8], row.code);
    EXPECT_EQ(copy.game.spriteCode[pawnSprite], row.code);
    EXPECT_FALSE(copy.game.promotionPending);
    EXPECT_EQ(copy.services.chooserHidden, 1);
  }
}

TEST_F(MovesTest, PromotionPickOutsideThePiecesDoesNothing) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "8/4P3/8/8/8/8/k7/4K3 w - -", 0), "");
  copy.MoveLocal(5, 7, 5, 8);
  for (auto [x, y] : {std::pair{5, 35}, {65, 35}, {35, 5}, {35, 65}, {260, 35}, {130, 30}}) {
    copy.game.icanMouseDown(x, y);
    EXPECT_TRUE(copy.game.promotionPending) << x << ", " << y;
  }
  EXPECT_EQ(copy.services.sent.size(), 1u);
}

// A draw offer made before a promoting move rides on that move's "hod".
TEST_F(MovesTest, DrawOfferRidesOnPromotion) {
  SetUpBoth("8/4P3/8/8/8/8/k7/4K3 w - -");
  white.game.drawOfferOpen = white.game.drawOfferToSend = true;
  white.Move("e7", "e8", pcQueen);
  EXPECT_EQ(white.services.sent, Lines({"logl1. e8=", "logaФ", "hod=57f58"}));
  EXPECT_FALSE(white.game.drawOfferOpen);
  EXPECT_FALSE(white.game.drawOfferToSend);
  copies.Settle();
  EXPECT_EQ(white.services.lines.back(), "1. e8Ф=");
  EXPECT_EQ(black.services.lines.back(), "1. e8Ф=");
  EXPECT_TRUE(black.game.drawOfferReceived);
  EXPECT_TRUE(black.game.drawOfferOpen);
  EXPECT_EQ(black.services.drawItem.caption, "Согласиться с ничьей");
  EXPECT_TRUE(black.services.drawItem.enabled);
  ASSERT_FALSE(black.services.banners.empty());
  EXPECT_EQ(black.services.banners.back().text, "Белый предлагает ничью");
  EXPECT_FALSE(black.services.banners.back().setTurnOnClose);
  EXPECT_TRUE(black.game.myTurn);
}

// The mover's copy shows nothing; the receiver shows "Шах", answers
// "loga+" and gets the move when the banner closes.
TEST_F(MovesTest, CheckIsAnsweredWithPlus) {
  SetUpBoth("4k3/8/8/8/8/8/8/R3K3 w - -");
  white.Move("a1", "a8");
  copies.Deliver(white, black);
  EXPECT_EQ(black.services.sent, Lines({"loga+"}));
  EXPECT_FALSE(black.game.myTurn);
  black.FinishAnimation();
  ASSERT_EQ(black.services.banners.size(), 1u);
  EXPECT_EQ(black.services.banners[0].text, "Шах");
  EXPECT_EQ(black.services.banners[0].holdMs, kCheckBannerMs);
  EXPECT_TRUE(black.services.banners[0].setTurnOnClose);
  EXPECT_TRUE(black.services.banners[0].turnValue);
  EXPECT_FALSE(black.game.myTurn) << "the turn waits for the banner";
  copies.Settle();
  EXPECT_TRUE(black.game.myTurn);
  EXPECT_TRUE(white.services.banners.empty());
  EXPECT_EQ(white.services.lines.back(), "1. Лa8+");
  EXPECT_EQ(black.services.lines.back(), "1. Лa8+");
}

TEST_F(MovesTest, MateEndsBothRecordsAlike) {
  copies.StartGames();
  copies.Play(white, "f2", "f3");
  copies.Play(black, "e7", "e5");
  copies.Play(white, "g2", "g4");
  copies.Play(black, "d8", "h4");
  const Lines record = {"Начало новой игры.", "1. f3", "1. e5", "2. g4", "2. Фh4++", "0-1"};
  EXPECT_EQ(white.services.lines, record);
  EXPECT_EQ(black.services.lines, record);
  EXPECT_EQ(white.services.BannerTexts(), Lines({"Мат", "Вы проиграли"}));
  EXPECT_EQ(black.services.BannerTexts(), Lines({"Мат", "Вы победили"}));
  EXPECT_TRUE(white.game.gameOver);
  EXPECT_TRUE(black.game.gameOver);
  EXPECT_FALSE(white.game.myTurn);
  EXPECT_FALSE(white.services.drawItem.enabled);
}

TEST_F(MovesTest, StalemateEndsBothRecordsAlike) {
  SetUpBoth("7k/8/6Q1/8/8/8/8/K7 w - -");
  copies.Play(white, "g6", "f7");
  EXPECT_EQ(black.services.sent, Lines({"logl1/2-1/2"}));
  EXPECT_EQ(white.services.lines, Lines({"1. Фf7", "1/2-1/2"}));
  EXPECT_EQ(black.services.lines, Lines({"1. Фf7", "1/2-1/2"}));
  EXPECT_EQ(white.services.BannerTexts(), Lines({"Пат"}));
  EXPECT_EQ(black.services.BannerTexts(), Lines({"Пат"}));
  EXPECT_TRUE(white.game.gameOver);
  EXPECT_TRUE(black.game.gameOver);
}

// Taking the last piece leaves bare kings: both copies find the draw.
TEST_F(MovesTest, BareKingsEndBothRecordsAlike) {
  SetUpBoth("4k3/8/8/8/8/8/3r4/3NK3 b - -");
  copies.Play(black, "d2", "d1");
  copies.Play(white, "e1", "d1");
  EXPECT_EQ(white.services.lines, Lines({"1. Лxd1+", "1. Крxd1", "1/2-1/2"}));
  EXPECT_EQ(black.services.lines, Lines({"1. Лxd1+", "1. Крxd1", "1/2-1/2"}));
  EXPECT_EQ(white.services.banners.back().text, "Ничья");
  EXPECT_EQ(black.services.banners.back().text, "Ничья");
  EXPECT_TRUE(white.game.gameOver);
  EXPECT_TRUE(black.game.gameOver);
}

// Only positions after the local player's own moves count, and the third
// one ends the game on both copies.
TEST_F(MovesTest, ThirdRepetitionEndsTheGame) {
  copies.StartGames();
  for (int round = 0; round < 2; ++round) {
    copies.Play(white, "g1", "f3");
    copies.Play(black, "g8", "f6");
    copies.Play(white, "f3", "g1");
    copies.Play(black, "f6", "g8");
  }
  EXPECT_FALSE(white.game.gameOver) << "the start position came back after black's moves only";
  EXPECT_FALSE(black.game.gameOver);
  copies.Play(white, "g1", "f3");
  EXPECT_TRUE(white.game.gameOver);
  EXPECT_TRUE(black.game.gameOver);
  EXPECT_FALSE(black.game.myTurn);
  const std::vector<std::string> tail(white.services.sent.end() - 2, white.services.sent.end());
  EXPECT_EQ(tail, Lines({"hod71.63", "lognl1/2-1/2"}));
  const Lines banners = {"Позиция на доске повторилась 3 раза", "Ничья"};
  EXPECT_EQ(white.services.BannerTexts(), banners);
  EXPECT_EQ(black.services.BannerTexts(), banners);
  EXPECT_EQ(white.services.lines.back(), "1/2-1/2");
  EXPECT_EQ(black.services.lines.back(), "1/2-1/2");
  EXPECT_EQ(white.services.lines, black.services.lines);
}

// The history is not limited to 500 slots and keeps counting past them.
TEST_F(MovesTest, RepetitionCountsPastFiveHundredMoves) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/8/R3K3 b - -", 0), "");
  for (int n : {600, 700}) {
    copy.game.moveNumber = n;
    copy.game.CheckRepetition();
    EXPECT_FALSE(copy.game.gameOver) << n;
  }
  copy.game.moveNumber = 800;
  copy.game.CheckRepetition();
  EXPECT_TRUE(copy.game.gameOver);
  EXPECT_GE(copy.game.positionHistory.size(), 801u);
}

// A new game keeps the history; only slots of the new game are compared.
TEST_F(MovesTest, NewGameComparesOnlyItsOwnSlots) {
  TCopy copy;
  copy.game.StartNewGame();
  const TBoardGrid start = copy.game.board;
  // Slots 2 and 3 of the old game hold the position the new one starts
  // with; comparing them would make this the "third" occurrence.
  for (int n = 1; n <= 3; ++n) {
    copy.game.positionHistory.resize(n + 1);
    copy.game.historyEnPassant.resize(n + 1, 0);
    copy.game.historyLeftCastle.resize(n + 1, 1);
    copy.game.historyRightCastle.resize(n + 1, 1);
    if (n >= 2) copy.game.positionHistory[n] = start;
  }
  copy.game.StartNewGame();
  EXPECT_EQ(copy.game.positionHistory.size(), 4u);
  copy.game.moveNumber = 1;
  copy.game.CheckRepetition();
  EXPECT_FALSE(copy.game.gameOver);
}

// After white castles short, the black copy holds the king on (2, 8) and
// the rook on (3, 8); sprites 21 and 24 glide together for 30 ticks.
TEST_F(MovesTest, ReceivedCastlingGlidesKingAndRook) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/8/4K2R w K -", 1), "");
  ASSERT_EQ(copy.game.SpriteOn(4, 8), 21);
  ASSERT_EQ(copy.game.SpriteOn(1, 8), 24);
  ASSERT_TRUE(copy.game.ApplyOpponentMove("51171"));
  EXPECT_EQ(BoardRows(copy.game)[0], ".kr.....");
  const int kingX = copy.game.SquareLeft(4), rookX = copy.game.SquareLeft(1);
  for (int tick = 1; tick <= kAnimationTicks; ++tick) {
    copy.services.timers.Advance(kAnimationTickMs);
    EXPECT_EQ(copy.game.spriteX[21], kingX - 4 * tick) << tick;
    EXPECT_EQ(copy.game.spriteX[24], rookX + 4 * tick) << tick;
  }
  EXPECT_EQ(copy.game.SpriteOn(2, 8), 21);
  EXPECT_EQ(copy.game.SpriteOn(3, 8), 24);
  EXPECT_TRUE(copy.services.timers.HasTimer(tagAnimation)) << "arrival is seen on the next tick";
  EXPECT_FALSE(copy.game.myTurn);
  copy.services.timers.Advance(kAnimationTickMs);
  EXPECT_FALSE(copy.services.timers.HasTimer(tagAnimation));
  EXPECT_TRUE(copy.game.myTurn);
  EXPECT_EQ(copy.services.moveSounds, 1);
  EXPECT_EQ(SpriteMismatch(copy.game), "");
}

// With a distance that is no multiple of the tick count the sprite would
// never meet its target exactly; the glide still ends after 30 ticks.
TEST_F(MovesTest, AnimationEndsAfterThirtyTicksWhateverTheDistance) {
  TCopy copy;
  copy.game.localColour = 1;
  copy.game.StartNewGame();
  ASSERT_TRUE(copy.game.ApplyOpponentMove("52.54"));
  copy.game.animTargetY += 7;
  copy.services.timers.Advance(kAnimationTickMs * (kAnimationTicks + 1));
  EXPECT_FALSE(copy.services.timers.HasTimer(tagAnimation));
  EXPECT_EQ(copy.game.spriteY[copy.game.animSprite], copy.game.animTargetY);
  EXPECT_TRUE(copy.game.myTurn);
}

// A second move during the glide of the first (only a broken peer sends
// one) first finishes the glide, so the pictures stay on their pieces.
TEST_F(MovesTest, MoveDuringTheGlideFinishesTheGlideFirst) {
  TCopy copy;
  copy.game.localColour = 1;
  copy.game.StartNewGame();
  ASSERT_TRUE(copy.game.ApplyOpponentMove("52.53"));
  copy.services.timers.Advance(kAnimationTickMs * 10);
  ASSERT_TRUE(copy.game.ApplyOpponentMove("53.54"));
  EXPECT_EQ(copy.services.timers.Count(), 1);
  copy.FinishAnimation();
  EXPECT_EQ(copy.game.board[4][5], -pcPawn);
  EXPECT_EQ(SpriteMismatch(copy.game), "");
}

// A received capture parks the taken sprite only when the glide ends.
TEST_F(MovesTest, CapturedSpriteIsParkedAtTheEnd) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "r3k3/8/8/8/8/8/8/R3K3 b Q -", 0), "");
  const int rook = copy.game.SpriteOn(1, 1);
  ASSERT_TRUE(copy.game.ApplyOpponentMove("81.88"));  // a8 takes a1, in black's view
  EXPECT_FALSE(copy.game.IsParked(rook));
  EXPECT_TRUE(copy.game.leftRookMoved) << "a rook taken on its square ends that castling";
  copy.FinishAnimation();
  EXPECT_TRUE(copy.game.IsParked(rook));
  EXPECT_EQ(SpriteMismatch(copy.game), "");
}

// Moves that no honest copy sends are dropped whole: nothing changes and
// nothing is answered.
TEST_F(MovesTest, MalformedMovesAreDropped) {
  struct TRow {
    const char* text;
    TRemoteMoveFault fault;
  } rows[] = {
      {"", TRemoteMoveFault::rfWrongLength},
      {"=", TRemoteMoveFault::rfWrongLength},
      {"52.5", TRemoteMoveFault::rfWrongLength},
      {"52.544", TRemoteMoveFault::rfWrongLength},
      {"==52.54", TRemoteMoveFault::rfWrongLength},
      {"52.54 ", TRemoteMoveFault::rfWrongLength},
      {"02.54", TRemoteMoveFault::rfBadSquare},
      {"52.59", TRemoteMoveFault::rfBadSquare},
      {"5a.54", TRemoteMoveFault::rfBadSquare},
      {"92.54", TRemoteMoveFault::rfBadSquare},
      {"-2.54", TRemoteMoveFault::rfBadSquare},
      {"52x54", TRemoteMoveFault::rfBadKind},
      {"52F54", TRemoteMoveFault::rfBadKind},
      {"52 54", TRemoteMoveFault::rfBadKind},
      {"52554", TRemoteMoveFault::rfBadKind},
      {"52.52", TRemoteMoveFault::rfSameSquare},
      {"55.56", TRemoteMoveFault::rfNoOpponentPiece},   // an empty square
      {"57.56", TRemoteMoveFault::rfNoOpponentPiece},   // the receiver's own pawn
      {"51.52", TRemoteMoveFault::rfCapturesOwnPiece},  // king onto its own pawn
      {"21133", TRemoteMoveFault::rfCastlingMismatch},  // a knight that "castles"
      {"52f54", TRemoteMoveFault::rfPromotionMismatch},
      {"52.63", TRemoteMoveFault::rfNoEnPassantVictim},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string("\"") + row.text + "\"");
    TCopy copy;
    copy.game.localColour = 1;
    copy.game.StartNewGame();
    const TGame before = copy.game;
    const std::size_t lines = copy.services.lines.size();
    const TReviewedMove reviewed = copy.game.ReviewOpponentMove(row.text);
    ASSERT_TRUE(std::holds_alternative<TRemoteMoveFault>(reviewed));
    EXPECT_EQ(std::get<TRemoteMoveFault>(reviewed), row.fault);
    EXPECT_FALSE(copy.game.ApplyOpponentMove(row.text));
    EXPECT_EQ(copy.game.board, before.board);
    EXPECT_EQ(copy.game.spriteX, before.spriteX);
    EXPECT_EQ(copy.game.enPassantFile, before.enPassantFile);
    EXPECT_FALSE(copy.game.myTurn);
    EXPECT_TRUE(copy.services.sent.empty());
    EXPECT_EQ(copy.services.lines.size(), lines);
    EXPECT_FALSE(copy.services.timers.HasTimer(tagAnimation));
  }
}

TEST_F(MovesTest, MalformedCastlingAndEnPassantAreDropped) {
  struct TRow {
    const char* fen;
    const char* text;
  } rows[] = {
      // Castling squares that do not fit the mark, or no rook to move.
      {"4k3/8/8/8/8/8/8/4K2R w K -", "51271"},
      {"4k3/8/8/8/8/8/8/4K3 w - -", "51171"},
      {"4k3/8/8/8/8/8/8/4K2R w K -", "51156"},
      // A piece where the rook would land.
      {"4k3/8/8/8/8/8/8/4KB1R w K -", "51171"},
      // A diagonal pawn step onto an empty square beside a black piece that
      // is not a pawn.
      {"4k3/8/8/3Pn3/8/8/8/4K3 w - -", "45.56"},
      // A pawn reaching the last row without a promotion letter.
      {"4k3/P7/8/8/8/8/8/4K3 w - -", "17.18"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(row.fen) + " " + row.text);
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, row.fen, 1), "");
    const TBoardGrid before = copy.game.board;
    EXPECT_FALSE(copy.game.ApplyOpponentMove(row.text));
    EXPECT_EQ(copy.game.board, before);
    EXPECT_TRUE(copy.services.sent.empty());
  }
}

// While the local player drags a piece or picks a promotion piece the turn
// is ours, so a "hod" can only come from a broken peer. It is dropped: the
// local move goes on with its own squares and its own sprite.
TEST_F(MovesTest, MoveArrivingWhileALocalMoveIsInTheAirIsDropped) {
  // White's copy; black's pawn on h7 could step to h6 ("hod27.26" from
  // black's view).
  {
    SCOPED_TRACE("during a drag");
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, "4k3/7p/8/8/8/8/4P3/4K3 w - -", 0), "");
    const int pawnSprite = copy.game.SpriteOn(5, 2);
    ASSERT_TRUE(copy.game.PickUpPiece(copy.game.SquareLeft(5) + 30, copy.game.SquareTop(2) + 30));
    EXPECT_EQ(std::get<TRemoteMoveFault>(copy.game.ReviewOpponentMove("27.26")),
              TRemoteMoveFault::rfLocalMoveInAir);
    EXPECT_FALSE(copy.game.ApplyOpponentMove("27.26"));
    EXPECT_EQ(copy.game.board[8][7], -pcPawn);
    EXPECT_FALSE(copy.services.timers.HasTimer(tagAnimation));
    copy.game.DragPiece(copy.game.SquareLeft(5) + 30, copy.game.SquareTop(4) + 30);
    copy.game.DropPiece();
    EXPECT_EQ(copy.services.sent, Lines({"logl1. e4", "hod52.54"}));
    EXPECT_EQ(copy.game.board[5][4], pcPawn);
    EXPECT_EQ(copy.game.SpriteOn(5, 4), pawnSprite);
    EXPECT_EQ(SpriteMismatch(copy.game), "");
  }
  {
    SCOPED_TRACE("during the promotion pick");
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, "8/4P3/8/8/8/8/k6p/4K3 w - -", 0), "");
    const int pawnSprite = copy.game.SpriteOn(5, 7);
    copy.MoveLocal(5, 7, 5, 8);
    ASSERT_TRUE(copy.game.promotionPending);
    EXPECT_FALSE(copy.game.ApplyOpponentMove("87.86"));  // the king a2-a3
    copy.game.icanMouseDown(35, 35);
    EXPECT_EQ(copy.services.sent, Lines({"logl1. e8", "logaФ", "hod57f58"}));
    EXPECT_EQ(copy.game.spriteCode[pawnSprite], pcQueen);
    EXPECT_EQ(copy.game.board[1][2], -pcKing);
    EXPECT_EQ(SpriteMismatch(copy.game), "");
  }
}

TEST_F(MovesTest, RefusedMovePutsThePieceBack) {
  struct TRow {
    const char* fen;
    const char* from;
    const char* to;
  } rows[] = {
      {"4k3/8/8/8/8/8/4P3/4K3 w - -", "e2", "e2"},    // its own square
      {"4k3/8/8/8/8/8/4P3/4K3 w - -", "e2", "e5"},    // no such pawn move
      {"4k3/8/8/8/8/8/4P3/4K3 w - -", "e1", "g1"},    // castling without the rook
      {"4k3/4r3/8/8/8/8/4B3/4K3 w - -", "e2", "d3"},  // the bishop is pinned
      {"4k3/8/8/8/8/8/3r4/4K3 w - -", "e1", "e2"},    // into the rook's line
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(row.fen) + " " + row.from + "-" + row.to);
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, row.fen, 0), "");
    const TGame before = copy.game;
    copy.Move(row.from, row.to);
    EXPECT_TRUE(copy.services.sent.empty());
    EXPECT_TRUE(copy.services.lines.empty());
    EXPECT_EQ(copy.game.board, before.board);
    EXPECT_EQ(copy.game.spriteX, before.spriteX);
    EXPECT_EQ(copy.game.spriteY, before.spriteY);
    EXPECT_TRUE(copy.game.myTurn) << "the player may try again at once";
    EXPECT_FALSE(copy.game.pieceDragging);
  }
}

// A made move: the board, the sprite on its target, the turn and the draw
// item pass, castling rights follow the piece.
TEST_F(MovesTest, MadeMoveHandsOverTheTurn) {
  TCopy copy;
  copy.game.StartNewGame();
  copy.Move("e2", "e4");
  EXPECT_EQ(copy.services.sent, Lines({"logl1. e4", "hod52.54"}));
  EXPECT_FALSE(copy.game.myTurn);
  EXPECT_FALSE(copy.services.drawItem.enabled);
  EXPECT_EQ(copy.services.drawItem.textColour, clSilver);
  EXPECT_EQ(copy.services.moveSounds, 1);
  EXPECT_EQ(copy.game.SpriteOn(5, 4), 12);
  EXPECT_EQ(SpriteMismatch(copy.game), "");
  EXPECT_EQ(copy.game.fromX, 5);
  EXPECT_EQ(copy.game.fromY, 4);
}

TEST_F(MovesTest, LocalCastlingMovesTheRookAndEndsTheRights) {
  struct TRow {
    int colour;
    const char* fen;
    const char* from;
    const char* to;
    const char* hod;
    const char* line;
    int rookSprite, rookColumn;
  } rows[] = {
      {0, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1", "g1", "hod51171", "1. 0-0", 8, 6},
      {0, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1", "c1", "hod51231", "1. 0-0-0", 1, 4},
      {1, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8", "g8", "hod41421", "1. 0-0", 1, 3},
      {1, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "e8", "c8", "hod41361", "1. 0-0-0", 8, 5},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.hod);
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, row.fen, row.colour), "");
    copy.Move(row.from, row.to);
    EXPECT_EQ(copy.services.sent, Lines({std::string("logl") + row.line, row.hod}));
    EXPECT_EQ(copy.game.SpriteOn(row.rookColumn, 1), row.rookSprite);
    EXPECT_EQ(copy.game.board[row.rookColumn][1], pcRook);
    EXPECT_TRUE(copy.game.kingMoved);
    EXPECT_EQ(SpriteMismatch(copy.game), "");
  }
}

// The sprite dropped exactly onto the target's corner is the capturer.
TEST_F(MovesTest, CaptureDroppedOnTheExactCornerKeepsTheCapturer) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/4K3/r6R w - -", 0), "");
  const int rook = copy.game.SpriteOn(8, 1);
  const int victim = copy.game.SpriteOn(1, 1);
  copy.game.PickUpPiece(copy.game.SquareLeft(8) + 30, copy.game.SquareTop(1) + 30);
  copy.game.DragPiece(copy.game.SquareLeft(6) + 30, copy.game.SquareTop(1) + 30);
  copy.game.DragPiece(copy.game.SquareLeft(1) + 30, copy.game.SquareTop(1) + 30);
  ASSERT_EQ(copy.game.spriteX[rook], copy.game.SquareLeft(1));
  copy.game.DropPiece();
  EXPECT_FALSE(copy.game.IsParked(rook));
  EXPECT_TRUE(copy.game.IsParked(victim));
  EXPECT_EQ(copy.game.SpriteOn(1, 1), rook);
  EXPECT_EQ(SpriteMismatch(copy.game), "");
}

TEST_F(MovesTest, ReceivedRecordTextsEndTheGame) {
  struct TRow {
    const char* text;
    int colour;
    Lines banners;
    Lines added;
    bool turnAfter;
  } rows[] = {
      {"nl1/2-1/2", 0, {"Позиция на доске повторилась 3 раза", "Ничья"}, {"1/2-1/2"}, false},
      {"l1/2-1/2", 0, {"Пат"}, {"1/2-1/2"}, true},
      {"a++", 0, {"Мат", "Вы победили"}, {"1-0"}, true},
      {"a++", 1, {"Мат", "Вы победили"}, {"0-1"}, true},
      {"a+", 0, {}, {}, true},
      {"l1. e4", 0, {}, {"1. e4"}, true},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.text);
    TCopy copy;
    ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/8/8/4K3 w - -", row.colour), "");
    copy.game.myTurn = true;
    copy.services.lines = {"5. Лa8"};
    copy.game.ApplyReceivedRecordText(row.text);
    EXPECT_EQ(copy.services.BannerTexts(), row.banners);
    EXPECT_EQ(copy.game.gameOver, !row.banners.empty());
    EXPECT_EQ(copy.game.myTurn, row.turnAfter);
    Lines expected = {std::string(row.text).rfind("a", 0) == 0
                          ? "5. Лa8" + std::string(row.text).substr(1)
                          : "5. Лa8"};
    expected.insert(expected.end(), row.added.begin(), row.added.end());
    EXPECT_EQ(copy.services.lines, expected);
  }
}

}  // namespace
}  // namespace zervik::testing
