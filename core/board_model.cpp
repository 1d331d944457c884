// The board and sprite model: setting up a new game, turning pixel points
// into squares and noting lost castling rights.
#include "core/game.h"
#include "platform/timers.h"

namespace zervik {

namespace {

constexpr std::array<std::int8_t, 9> kWhiteBackRow = {0, 1, 2, 3, 4, 5, 3, 2, 1};
constexpr std::array<std::int8_t, 9> kBlackBackRow = {0, 1, 2, 3, 5, 4, 3, 2, 1};

// Start square of sprite k before the queen and king are put on their
// columns by colour.
void StartSquare(int k, int& x, int& y) {
  if (k <= 8) {
    x = k;
    y = 1;
  } else if (k <= 16) {
    x = 17 - k;
    y = 2;
  } else if (k <= 24) {
    x = 25 - k;
    y = 8;
  } else {
    x = k - 24;
    y = 7;
  }
}

}  // namespace

void TGame::PlaceSprite(int k, int x, int y) {
  spriteX[k] = SquareLeft(x);
  spriteY[k] = SquareTop(y);
}

void TGame::StartNewGame() {
  gameOver = false;
  moveNumber = 0;
  leftRookMoved = kingMoved = rightRookMoved = false;
  drawOfferOpen = drawOfferToSend = false;
  // A drag, a pending promotion pick or a gliding sprite of the old game
  // would otherwise act on the new board.
  pieceDragging = false;
  if (promotionPending) {
    promotionPending = false;
    services.view->HidePromotionChooser();
  }
  services.timers->FreeTimers(tagAnimation);
  capturedSprite = 0;

  for (auto& column : board) column.fill(0);

  std::array<int, 33> startX{}, startY{};
  for (int k = 1; k <= kSpriteCount; ++k) StartSquare(k, startX[k], startY[k]);
  const bool white = localColour == 0;
  startX[4] = white ? 4 : 5;
  startX[5] = white ? 5 : 4;
  startX[20] = white ? 4 : 5;
  startX[21] = white ? 5 : 4;
  for (int k = 1; k <= kSpriteCount; ++k) PlaceSprite(k, startX[k], startY[k]);

  TScreenButton& drawItem = *services.btnDraw;
  drawItem.caption = "Предложить ничью";
  drawItem.enabled = white;
  drawItem.textColour = white ? clBlack : clSilver;
  myTurn = white;
  const auto& backRow = white ? kWhiteBackRow : kBlackBackRow;
  for (int x = 1; x <= 8; ++x) {
    board[x][1] = backRow[x];
    board[x][8] = static_cast<std::int8_t>(-backRow[x]);
    board[x][2] = pcPawn;
    board[x][7] = -pcPawn;
  }

  for (int k = 1; k <= kSpriteCount; ++k) spriteCode[k] = board[startX[k]][startY[k]];
  spriteCode[4] = pcQueen;
  spriteCode[5] = pcKing;
  spriteCode[20] = -pcQueen;
  spriteCode[21] = -pcKing;

  services.view->DrawWindowFrame(0);
  services.record->FocusAtEnd();
  services.record->AddLine("Начало новой игры.");
  services.view->LoadSkin();
}

void TGame::LocateFromSquare() {
  for (int i = 0; i <= 7; ++i)
    if (boardLeft + 5 + i * squareWidth <= hitX && hitX < boardLeft + 5 + (i + 1) * squareWidth)
      fromX = i + 1;
  for (int j = 0; j <= 7; ++j)
    if (boardTop + 5 + j * squareHeight <= hitY && hitY < boardTop + 5 + (j + 1) * squareHeight)
      fromY = 8 - j;
  hitX = hitY = 0;
}

void TGame::LocateTargetSquare() {
  for (int i = 0; i <= 7; ++i)
    if (boardLeft + 5 + i * squareWidth <= hitX && hitX < boardLeft + 5 + (i + 1) * squareWidth)
      toX = i + 1;
  for (int j = 0; j <= 7; ++j)
    if (boardTop + 5 + j * squareHeight <= hitY && hitY < boardTop + 5 + (j + 1) * squareHeight)
      toY = 8 - j;
  hitX = hitY = 0;
}

void TGame::LoseCastlingRights(int x, int y) {
  if (y != 1) return;
  if (x == 1) leftRookMoved = true;
  if (x == 8) rightRookMoved = true;
  if (x == (localColour == 0 ? 5 : 4)) kingMoved = true;
}

}  // namespace zervik
