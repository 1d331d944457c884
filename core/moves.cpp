// The local player's moves: testing and making them, capturing, the
// promotion pick and the repetition rule.
#include <cstdlib>

#include "core/game.h"
#include "core/game_constants.h"

namespace zervik {

namespace {

// Promotion pieces in the order the chooser shows them.
constexpr int kChooserPieces[4] = {pcQueen, pcRook, pcBishop, pcKnight};

bool SameSquares(const TBoardGrid& a, const TBoardGrid& b) {
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y)
      if (a[x][y] != b[x][y]) return false;
  return true;
}

}  // namespace

void TGame::Banner(const std::string& text, int holdMs, bool setTurnOnClose, bool turnValue) {
  services.banners->ShowBanner(text, holdMs, clBlack, turnValue, setTurnOnClose, false);
}

void TGame::EnableDrawItem(bool enabled) {
  services.btnDraw->enabled = enabled;
  services.btnDraw->textColour = enabled ? clBlack : clSilver;
}

void TGame::SendMove(int fx, int fy, char mark, int tx, int ty) {
  TMoveText move{drawOfferOpen && drawOfferToSend, fx, fy, mark, tx, ty};
  if (move.drawOffer) drawOfferToSend = false;
  services.sender->SendToOpponent("hod" + FormatMoveText(move));
  drawOfferOpen = false;
}

void TGame::EndInMaterialDrawAfterLocalMove() {
  Banner("Ничья", kDrawBannerMs, true, false);
  gameOver = true;
  AddLogLine("l1/2-1/2");
}

void TGame::MakeLocalMove() {
  hitX = spriteX[activeSprite] + squareWidth / 2;
  hitY = spriteY[activeSprite] + squareHeight / 2;
  LocateTargetSquare();
  // The target is found by the sprite's centre, which the drag keeps over
  // the board; a target that is still no square (no drop was ever located)
  // is refused rather than used as an index.
  const bool onBoard = toX >= 1 && toX <= 8 && toY >= 1 && toY <= 8;
  movingCode = board[fromX][fromY];
  if (onBoard && TestLocalMove()) {
    RemoveCapturedPiece();
    RecordMove();
    board[fromX][fromY] = 0;
    board[toX][toY] = movingCode;
    myTurn = false;
    EnableDrawItem(false);
    services.view->DrawWindowFrame(1);
    TestMaterialDraw(0);
    if (materialDraw) EndInMaterialDrawAfterLocalMove();
    LoseCastlingRights(fromX, fromY);
    if (toY == 8 && board[toX][toY] == pcPawn) {
      // The move goes out when the piece has been picked (icanMouseDown).
      promoFromX = fromX;
      promoFromY = fromY;
      promoToX = toX;
      promoToY = toY;
      promotionPending = true;
      services.view->ShowPromotionChooser();
    } else {
      SendMove(fromX, fromY, castleMark, toX, toY);
      CheckRepetition();
    }
    fromX = toX;
    fromY = toY;
  }

  PlaceSprite(activeSprite, fromX, fromY);
  services.view->RedrawPieces(0);
}

bool TGame::TestLocalMove() {
  movingCode = board[fromX][fromY];
  CheckMoveLegal();
  TryCastling();
  if (moveLegal) TryMoveForCheck(movingCode);
  return moveLegal && !kingInCheck;
}

void TGame::RemoveCapturedPiece() {
  if (board[toX][toY] < 0)
    for (int k = 1; k <= kSpriteCount; ++k)
      // The dragged sprite may have been dropped exactly onto the corner of
      // the target; it is the capturer, not the captured.
      if (k != activeSprite && StandsOn(k, toX, toY)) ParkSprite(k);
  enPassantDone = false;
  if (movingCode == pcPawn && toX == enPassantFile && toY == 6 && fromY == 5 &&
      std::abs(toX - fromX) == 1) {
    for (int k = 1; k <= kSpriteCount; ++k)
      if (StandsOn(k, toX, 5)) ParkSprite(k);
    board[toX][5] = 0;
    enPassantDone = true;
  }
  services.view->RedrawPieces(0);
}

void TGame::icanMouseDown(int X, int Y) {
  if (!promotionPending) return;
  int code = 0;
  if (Y >= kPickTop && Y <= kPickBottom)
    for (int i = 0; i < 4; ++i)
      if (X >= kPickLeft[i] && X < kPickLeft[i] + kPickWidth) code = kChooserPieces[i];
  if (code == 0) return;

  spriteCode[activeSprite] = static_cast<std::int8_t>(code);
  board[promoToX][promoToY] = static_cast<std::int8_t>(code);
  castleMark = PromotionLetter(code);
  const std::string letter = PromotionRecordLetter(code);
  AddLogLine("a" + letter);
  services.sender->SendToOpponent("loga" + letter);
  SendMove(promoFromX, promoFromY, castleMark, promoToX, promoToY);
  promotionPending = false;
  services.view->HidePromotionChooser();
  TestMaterialDraw(0);
  if (materialDraw) EndInMaterialDrawAfterLocalMove();
  CheckRepetition();
  services.view->RedrawPieces(1);
}

void TGame::CheckRepetition() {
  const std::size_t n = static_cast<std::size_t>(moveNumber);
  if (positionHistory.size() <= n) {
    // Unwritten slots stay all-empty boards, which no real position equals.
    positionHistory.resize(n + 1, TBoardGrid{});
    historyEnPassant.resize(n + 1, 0);
    historyLeftCastle.resize(n + 1, 0);
    historyRightCastle.resize(n + 1, 0);
  }
  positionHistory[n] = TBoardGrid{};
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y) positionHistory[n][x][y] = board[x][y];
  historyEnPassant[n] = enPassantFile != 0;
  historyLeftCastle[n] = !leftRookMoved && !kingMoved;
  historyRightCastle[n] = !rightRookMoved && !kingMoved;

  int count = 0;
  for (std::size_t j = 0; j < n; ++j)
    if (historyEnPassant[j] == historyEnPassant[n] &&
        historyLeftCastle[j] == historyLeftCastle[n] &&
        historyRightCastle[j] == historyRightCastle[n] &&
        SameSquares(positionHistory[j], positionHistory[n]))
      ++count;

  if (count == 2) {
    Banner("Позиция на доске повторилась 3 раза", kRepetitionBannerMs, true, false);
    myTurn = false;
    Banner("Ничья", kDrawBannerMs, false, false);
    gameOver = true;
    services.sender->SendToOpponent("lognl1/2-1/2");
    // The other copy records the result when the message arrives; this one
    // records it too, so that both records end alike.
    AddLogLine("l1/2-1/2");
  }
}

}  // namespace zervik
