#include "core/move_list.h"

#include "core/game.h"
#include "core/silent_services.h"

namespace zervik {

namespace {

constexpr std::int8_t kPromotionPieces[] = {pcQueen, pcRook, pcBishop, pcKnight};

// Where the chooser's picture takes a click for each promotion piece: the
// centre of its pick area.
int PickAreaCentreX(std::int8_t code) {
  switch (code) {
    case pcRook:
      return 100;
    case pcBishop:
      return 165;
    case pcKnight:
      return 230;
    default:
      return 35;  // queen
  }
}
constexpr int kPickAreaCentreY = 35;

}  // namespace

std::vector<TLocalMove> ListLocalMoves(const TGame& game) {
  // The trial copies must not reach the real world: a castling tried on a
  // copy moves a sprite, and nothing of it may be drawn, sent or timed.
  TSilentServices silent;
  TGame base = game;
  base.services = silent.Services();
  // Legality does not depend on the history; dropping it keeps every trial
  // copy small.
  base.positionHistory.clear();
  base.historyEnPassant.clear();
  base.historyLeftCastle.clear();
  base.historyRightCastle.clear();
  base.opponentName.clear();

  std::vector<TLocalMove> moves;
  TGame trial = base;
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      const std::int8_t code = base.board[x][y];
      if (code <= 0) continue;
      for (int tx = 1; tx <= 8; ++tx) {
        for (int ty = 1; ty <= 8; ++ty) {
          if (tx == x && ty == y) continue;
          trial.fromX = x;
          trial.fromY = y;
          trial.toX = tx;
          trial.toY = ty;
          const bool accepted = trial.TestLocalMove();
          // A castling has moved its rook on the trial board.
          if (trial.castleOk) trial = base;
          if (!accepted) continue;
          if (code == pcPawn && ty == 8) {
            for (std::int8_t piece : kPromotionPieces) moves.push_back({x, y, tx, ty, piece});
          } else {
            moves.push_back({x, y, tx, ty, 0});
          }
        }
      }
    }
  }
  return moves;
}

bool PlayLocalMove(TGame& game, const TLocalMove& move) {
  if (move.fromX < 1 || move.fromX > 8 || move.fromY < 1 || move.fromY > 8 || move.toX < 1 ||
      move.toX > 8 || move.toY < 1 || move.toY > 8)
    return false;
  const int halfWidth = game.squareWidth / 2;
  const int halfHeight = game.squareHeight / 2;
  const int before = game.moveNumber;
  if (!game.PickUpPiece(game.SquareLeft(move.fromX) + halfWidth, game.SquareTop(move.fromY) + halfHeight))
    return false;
  game.DragPiece(game.SquareLeft(move.toX) + halfWidth, game.SquareTop(move.toY) + halfHeight);
  game.DropPiece();
  if (game.moveNumber == before) return false;
  if (game.promotionPending)
    game.icanMouseDown(PickAreaCentreX(move.promotion != 0 ? move.promotion : static_cast<std::int8_t>(pcQueen)), kPickAreaCentreY);
  return true;
}

std::string LongAlgebraic(const TGame& game, const TLocalMove& move, bool withPromotion) {
  const bool black = game.localColour == 1;
  auto square = [black](int x, int y) {
    std::string text;
    text += static_cast<char>(black ? 'a' + (8 - x) : 'a' + (x - 1));
    text += static_cast<char>('0' + (black ? 9 - y : y));
    return text;
  };
  std::string text = square(move.fromX, move.fromY) + square(move.toX, move.toY);
  if (withPromotion) {
    switch (move.promotion) {
      case pcQueen:
        text += 'q';
        break;
      case pcRook:
        text += 'r';
        break;
      case pcBishop:
        text += 'b';
        break;
      case pcKnight:
        text += 'n';
        break;
      default:
        break;
    }
  }
  return text;
}

}  // namespace zervik
