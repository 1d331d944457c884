#include "core/game.h"

namespace zervik {

int TGame::SpriteOn(int x, int y) const {
  const int left = SquareLeft(x);
  const int top = SquareTop(y);
  for (int k = kSpriteCount; k >= 1; --k)
    if (spriteX[k] == left && spriteY[k] == top) return k;
  return 0;
}

void TGame::ParkSprite(int k) {
  // Just right of the board: outside the drawn area and out of play.
  spriteX[k] = boardLeft + boardWidth + 1;
}

}  // namespace zervik
