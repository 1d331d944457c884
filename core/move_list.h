// Every move the local rules accept in the current position, and a way to
// make one through the program's own mouse path. Used by robots (the test
// peer, the soak and fuzz tests) and by the peer's move listing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zervik {

class TGame;

struct TLocalMove {
  int fromX = 0, fromY = 0;  // local view, 1 .. 8
  int toX = 0, toY = 0;
  // Piece code of a promotion (4 queen, 1 rook, 3 bishop, 2 knight), else 0.
  std::int8_t promotion = 0;
  friend bool operator==(const TLocalMove&, const TLocalMove&) = default;
};

// The moves MakeLocalMove would make now for the local side, tested as it
// tests them (CheckMoveLegal, TryCastling, the trial with CheckOwnKing) on
// a copy of the game. A pawn reaching row 8 is listed once per promotion
// piece (queen, rook, bishop, knight). Does not look at myTurn or gameOver.
std::vector<TLocalMove> ListLocalMoves(const TGame& game);

// Makes the move as the player would: presses on the piece, drags it until
// its centre lies over the target square, releases it (MakeLocalMove), and
// for a promotion clicks the chosen piece in the chooser (icanMouseDown).
// Returns whether the move was made.
bool PlayLocalMove(TGame& game, const TLocalMove& move);

// Long algebraic text in real squares: "e2e4", "e1g1" for a castling,
// "e7e8q" for a promotion ("e7e8" without `withPromotion`).
std::string LongAlgebraic(const TGame& game, const TLocalMove& move, bool withPromotion = true);

}  // namespace zervik
