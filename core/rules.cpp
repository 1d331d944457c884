// The rules of chess for the local side. They see the board only in the
// local view (own pieces positive, moving up), so castling is always on
// row 1 and the opponent's pawns always attack downwards.
#include <algorithm>
#include <cstdlib>

#include "core/game.h"

namespace zervik {

namespace {

struct TCastling {
  char mark;
  int kingFrom, kingTo;
  int rookFrom, rookTo;
  int rookSprite;
  bool towardsColumn8;  // which rook flag it needs
};

// White castles with the king on column 5, black (columns mirrored) with
// it on column 4; the order is the order they are tried in.
constexpr TCastling kCastlings[4] = {
    {'1', 5, 7, 8, 6, 8, true},
    {'2', 5, 3, 1, 4, 1, false},
    {'3', 4, 6, 8, 5, 8, true},
    {'4', 4, 2, 1, 3, 1, false},
};

}  // namespace

void TGame::CheckMoveLegal() {
  const int c = board[fromX][fromY];
  const int dx = toX - fromX;
  const int dy = toY - fromY;
  piecesOnPath = 0;
  moveLegal = true;
  castleOk = false;

  if (c == pcKnight) {
    const int ax = std::abs(dx), ay = std::abs(dy);
    moveLegal = ((ax == 1 && ay == 2) || (ax == 2 && ay == 1)) && board[toX][toY] <= 0;
    castleMark = '.';
    return;
  }

  if (c == pcPawn) {
    const bool doubleStep = dy == 2 && dx == 0 && fromY == 2;
    const bool singleStep = dy == 1 && dx >= -1 && dx <= 1;
    if (!doubleStep && !singleStep)
      moveLegal = false;
    else if (dx == 0)
      moveLegal = board[toX][toY] == 0 && (!doubleStep || board[fromX][3] == 0);
    else
      moveLegal = board[toX][toY] < 0;
    // The square an en passant capture lands on is empty by construction;
    // it is not looked at.
    if (toX == enPassantFile && toY == 6 && fromY == 5 && (dx == 1 || dx == -1)) moveLegal = true;
    castleMark = '.';
    return;
  }

  // One square of a line: an own piece blocks, an opponent piece blocks
  // unless it stands on the target.
  auto probe = [this](int x, int y, bool last) {
    const int piece = board[x][y];
    if (piece == 0) return;
    ++piecesOnPath;
    moveLegal = piece < 0 && last;
  };

  if (c == pcRook || c == pcQueen || c == pcKing) {
    if (dx == 0) {
      const int n = std::abs(dy), s = dy > 0 ? 1 : -1;
      for (int k = 1; k <= n; ++k) probe(fromX, fromY + s * k, k == n);
    } else if (dy == 0) {
      const int n = std::abs(dx), s = dx > 0 ? 1 : -1;
      for (int k = 1; k <= n; ++k) probe(fromX + s * k, fromY, k == n);
    } else {
      moveLegal = false;
    }
  }

  // piecesOnPath carries over from the straight-line test on purpose: a
  // queen or king gets here only when that test failed.
  if (c == pcBishop || ((c == pcQueen || c == pcKing) && !moveLegal)) {
    moveLegal = true;
    if (dx == dy) {
      const int n = std::abs(dy);
      const bool up = toY > fromY;
      for (int k = 1; k <= n; ++k)
        probe(up ? fromX + k : fromX - k, up ? fromY + k : fromY - k, k == n);
    } else if (dx == -dy) {
      const int n = std::abs(dx);
      const bool right = toX > fromX;
      for (int k = 1; k <= n; ++k)
        probe(right ? fromX + k : fromX - k, right ? fromY - k : fromY + k, k == n);
    } else {
      moveLegal = false;
    }
  }

  if (c == pcRook || c == pcBishop || c == pcQueen || c == pcKing) {
    if (c == pcKing && moveLegal && (std::abs(dx) > 1 || std::abs(dy) > 1)) moveLegal = false;
    if (piecesOnPath > 1) moveLegal = false;
    if (fromX == toX && fromY == toY) moveLegal = false;
  }
}

int TGame::MatchingCastling() const {
  for (int i = 0; i < 4; ++i) {
    const TCastling& cs = kCastlings[i];
    if (fromX != cs.kingFrom || fromY != 1 || toX != cs.kingTo || toY != 1) continue;
    if (board[cs.kingFrom][1] != pcKing || board[cs.rookFrom][1] != pcRook) continue;
    bool empty = true;
    const int lo = std::min(cs.kingFrom, cs.rookFrom), hi = std::max(cs.kingFrom, cs.rookFrom);
    for (int x = lo + 1; x < hi; ++x) empty = empty && board[x][1] == 0;
    if (!empty) continue;
    if (kingMoved || (cs.towardsColumn8 ? rightRookMoved : leftRookMoved)) continue;
    return i;
  }
  return -1;
}

bool TGame::CastlingPathSafe(int index) {
  const TCastling& cs = kCastlings[index];
  const int lo = std::min(cs.kingFrom, cs.rookFrom), hi = std::max(cs.kingFrom, cs.rookFrom);
  for (int x = lo; x <= hi; ++x) board[x][1] = 0;
  bool safe = true;
  // The king's start square, the square it crosses and the one it lands
  // on; the rook's square and the long side's square beside it do not count.
  const int first = std::min(cs.kingFrom, cs.kingTo), last = std::max(cs.kingFrom, cs.kingTo);
  for (int x = first; x <= last; ++x) {
    board[x][1] = pcKing;
    CheckOwnKing();
    if (kingInCheck) safe = false;
    board[x][1] = 0;
  }
  for (int x = lo + 1; x < hi; ++x) board[x][1] = 0;
  board[cs.kingFrom][1] = pcKing;
  board[cs.rookFrom][1] = pcRook;
  return safe;
}

void TGame::TryCastling() {
  const int index = MatchingCastling();
  if (index >= 0) {
    castleOk = true;
    if (!CastlingPathSafe(index)) castleOk = false;
    if (castleOk) {
      const TCastling& cs = kCastlings[index];
      castleMark = cs.mark;
      board[cs.rookFrom][1] = 0;
      board[cs.rookTo][1] = pcRook;
      spriteX[cs.rookSprite] = SquareLeft(cs.rookTo);
    }
  }
  if (castleOk)
    moveLegal = true;
  else
    castleMark = '.';
}

bool TGame::SquareAttacked(int x, int y) const {
  auto onBoard = [](int cx, int cy) { return cx >= 1 && cx <= 8 && cy >= 1 && cy <= 8; };
  // First occupied square along each line.
  auto lineHits = [&](int sx, int sy, int a, int b) {
    for (int cx = x + sx, cy = y + sy; onBoard(cx, cy); cx += sx, cy += sy) {
      const int piece = board[cx][cy];
      if (piece != 0) return piece == a || piece == b;
    }
    return false;
  };
  static constexpr int kStraight[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
  static constexpr int kDiagonal[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
  for (const auto& d : kStraight)
    if (lineHits(d[0], d[1], -pcQueen, -pcRook)) return true;
  for (const auto& d : kDiagonal)
    if (lineHits(d[0], d[1], -pcQueen, -pcBishop)) return true;
  if (x < 8 && y < 8 && board[x + 1][y + 1] == -pcPawn) return true;
  if (x > 1 && y < 8 && board[x - 1][y + 1] == -pcPawn) return true;
  static constexpr int kKnight[8][2] = {{1, 2}, {1, -2}, {-1, 2}, {-1, -2},
                                        {2, 1}, {2, -1}, {-2, 1}, {-2, -1}};
  for (const auto& d : kKnight)
    if (onBoard(x + d[0], y + d[1]) && board[x + d[0]][y + d[1]] == -pcKnight) return true;
  for (int sx = -1; sx <= 1; ++sx)
    for (int sy = -1; sy <= 1; ++sy)
      if ((sx != 0 || sy != 0) && onBoard(x + sx, y + sy) && board[x + sx][y + sy] == -pcKing)
        return true;
  return false;
}

void TGame::CheckOwnKing() {
  kingInCheck = false;
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y)
      if (board[x][y] == pcKing && SquareAttacked(x, y)) {
        kingInCheck = true;
        return;
      }
}

bool TGame::IsEnPassantCapture(std::int8_t code) const {
  return code == pcPawn && toX == enPassantFile && toY == 6 && fromY == 5 &&
         std::abs(toX - fromX) == 1 && board[toX][toY] == 0;
}

void TGame::TryMoveForCheck(std::int8_t code) {
  const std::int8_t savedFrom = board[fromX][fromY];
  const std::int8_t savedTo = board[toX][toY];
  const bool enPassant = IsEnPassantCapture(code);
  const std::int8_t savedVictim = enPassant ? board[toX][5] : 0;
  board[fromX][fromY] = 0;
  board[toX][toY] = code;
  if (enPassant) board[toX][5] = 0;
  CheckOwnKing();
  if (enPassant) board[toX][5] = savedVictim;
  board[toX][toY] = savedTo;
  board[fromX][fromY] = savedFrom;
}

void TGame::SearchLegalMoves() {
  noLegalMove = true;
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y) {
      const std::int8_t code = board[x][y];
      if (code < pcRook || code > pcPawn) continue;
      fromX = x;
      fromY = y;
      for (int tx = 1; tx <= 8; ++tx)
        for (int ty = 1; ty <= 8; ++ty) {
          if (tx == x && ty == y) continue;
          toX = tx;
          toY = ty;
          CheckMoveLegal();
          if (moveLegal) {
            TryMoveForCheck(code);
            if (!kingInCheck) noLegalMove = false;
          } else if (code == pcKing) {
            // A castling counts as well; it is tested without moving the
            // rook or any sprite.
            const int index = MatchingCastling();
            if (index >= 0 && CastlingPathSafe(index)) noLegalMove = false;
          }
        }
    }
}

void TGame::TestMaterialDraw(std::uint8_t side) {
  materialDraw = true;
  int minorPieces = 0;
  // side 1 asks about the local side, so its pieces are the "bare" ones.
  const int bareSign = side == 1 ? 1 : -1;
  for (int x = 1; x <= 8 && materialDraw; ++x)
    for (int y = 1; y <= 8 && materialDraw; ++y) {
      const int piece = board[x][y];
      if (piece == 0) continue;
      const int kind = std::abs(piece);
      if (kind == pcKing) continue;
      if ((piece > 0) == (bareSign > 0))
        materialDraw = false;
      else if (kind == pcKnight || kind == pcBishop)
        ++minorPieces;
      else
        materialDraw = false;
    }
  if (minorPieces > 1) materialDraw = false;
}

}  // namespace zervik
