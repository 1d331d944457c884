// Setting a game to a chosen position, for tests and benchmarks: from eight
// rows of text in the local view, or from a FEN text in either colour's view.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/game.h"

namespace zervik::testing {

// Eight rows, the top one (row 8 of the local view) first, eight characters
// each: "RNBQKP" the local player's pieces, "rnbqkp" the opponent's, "."
// empty. Sprites are given to the pieces the way the program numbers them
// (own king 5, own rooks of columns 1 and 8 sprites 1 and 8, the opponent's
// king 21 and rooks of columns 8 and 1 sprites 17 and 24); sprites left over
// are parked. Game state: an open game, local player to move, no castling
// rights, no en passant, move counter 0 and an empty history. Returns an
// error text, empty when the rows were fine.
std::string SetUpBoard(TGame& game, const std::array<std::string_view, 8>& rows);

// The position of a FEN text (placement, side to move, castling, en passant
// square; the counters are ignored) in the view of `localColour`
// (0 white, 1 black). The copy whose colour is to move gets myTurn and, if
// the en passant square is set and a pawn of its own stands beside the
// pawn that just made the double step, enPassantFile. Returns an error
// text, empty when the FEN was fine.
std::string SetUpFromFen(TGame& game, std::string_view fen, int localColour);

// The board of `game` in the text form of SetUpBoard.
std::array<std::string, 8> BoardRows(const TGame& game);

// Finds what is inconsistent between the board and the sprites: a piece
// with no sprite on its square or a sprite of another code, a sprite on an
// empty square. Empty when they agree.
std::string SpriteMismatch(const TGame& game);

}  // namespace zervik::testing
