// The text of a move as it travels in a "hod" message, after the tag:
//
//   [ "=" ] FX FY M TX TY
//
//   "="     the sender's player offers a draw with this move
//   FX FY   column and row the piece leaves, one digit "1" ... "8" each,
//           in the sender's own view of the board
//   M       "." ordinary (captures and en passant included), "1" ... "4"
//           a castling, "f" "l" "o" "k" a promotion to queen, rook, bishop,
//           knight
//   TX TY   column and row the piece reaches
//
// So white e2-e4 travels as "52.54". The receiver turns every digit d into
// 9 - d to see the move in its own view.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zervik {

struct TMoveText {
  bool drawOffer = false;
  int fromX = 0, fromY = 0;
  char mark = '.';
  int toX = 0, toY = 0;
};

// Why a received move is dropped. The first three are faults of the text
// itself; the others are moves that make no sense in the receiver's
// position and so can only come from a broken or hostile peer.
enum class TRemoteMoveFault {
  rfWrongLength,        // not five characters after the optional "="
  rfBadSquare,          // a coordinate that is not "1" ... "8"
  rfBadKind,            // a kind character outside ". 1 2 3 4 f l o k"
  rfSameSquare,         // from-square equals to-square
  rfNoOpponentPiece,    // nothing of the sender's stands on the from-square
  rfCapturesOwnPiece,   // the target holds one of the sender's own pieces
  rfCastlingMismatch,   // a castling mark whose king, rook or squares do not fit
  rfPromotionMismatch,  // a promotion letter on a move that is no pawn reaching
                        // the last row, or a pawn reaching it without one
  rfNoEnPassantVictim,  // a diagonal pawn step onto an empty square with no
                        // pawn of ours to take beside it
  rfSpriteMissing,      // a piece on the board with no picture on its square
  rfLocalMoveInAir,     // the local player is dragging a piece or picking a
                        // promotion piece: the opponent cannot have moved
};

// Parses the text after the tag; checks only the characters.
std::variant<TMoveText, TRemoteMoveFault> ParseMoveText(std::string_view text);
// The text after the tag, e.g. "=57f58".
std::string FormatMoveText(const TMoveText& move);

// A received move turned into the local view and checked against the
// position, or why it is dropped.
struct TRemoteMove {
  bool drawOffer = false;
  int fromX = 0, fromY = 0;
  char mark = '.';
  int toX = 0, toY = 0;
};
using TReviewedMove = std::variant<TRemoteMove, TRemoteMoveFault>;

// Piece code of a promotion letter ("f" 4, "l" 1, "o" 3, "k" 2), or nullopt.
std::optional<int> PromotionCode(char letter);
// Message letter ("f" ...) and record letter ("Ф" ...) of a promotion piece.
char PromotionLetter(int code);
std::string PromotionRecordLetter(int code);

}  // namespace zervik
