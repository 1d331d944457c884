// The board part of the three mouse handlers: picking an own piece up,
// dragging its picture and dropping it on a square.
#include "core/game.h"

namespace zervik {

bool TGame::PickUpPiece(int X, int Y) {
  bool picked = false;
  for (int k = 1; k <= 16; ++k) {
    if (IsParked(k)) continue;
    const bool inside = spriteX[k] < X && X < spriteX[k] + squareWidth && spriteY[k] < Y &&
                        Y < spriteY[k] + squareHeight;
    if (!inside || !myTurn || gameOver) continue;
    activeSprite = k;
    const int centreX = spriteX[k] + squareWidth / 2;
    const int centreY = spriteY[k] + squareHeight / 2;
    hitX = centreX;
    hitY = centreY;
    LocateFromSquare();
    grabOffsetX = X - centreX;
    grabOffsetY = Y - centreY;
    pieceDragging = true;
    picked = true;
  }
  return picked;
}

void TGame::DragPiece(int X, int Y) {
  if (!pieceDragging || !myTurn) return;
  int x = X - squareWidth / 2 - grabOffsetX;
  int y = Y - squareHeight / 2 - grabOffsetY;
  // Four pixels inside the board, so the centre always lies over a square.
  if (x < boardLeft + 4) x = boardLeft + 4;
  if (x + squareWidth > boardLeft + boardWidth - 4) x = boardLeft + boardWidth - squareWidth - 4;
  if (y < boardTop + 4) y = boardTop + 4;
  if (y + squareHeight > boardTop + boardHeight - 4) y = boardTop + boardHeight - squareHeight - 4;
  spriteX[activeSprite] = x;
  spriteY[activeSprite] = y;
  services.view->RedrawPieces(0);
}

void TGame::DropPiece() {
  if (!pieceDragging) return;
  pieceDragging = false;
  if (myTurn && !gameOver) {
    MakeLocalMove();
    return;
  }
  // The turn was taken or the game ended while the piece was in the air:
  // it goes back where it came from and the drag is over.
  PlaceSprite(activeSprite, fromX, fromY);
  services.view->RedrawPieces(0);
}

}  // namespace zervik
