// The opponent's moves as they arrive: checked, turned into the local view,
// applied at once, answered with check, mate or stalemate, then shown as a
// short glide of the sprite. Also the game end that arrives as a record
// text.
#include "core/game.h"
#include "core/game_constants.h"
#include "platform/timers.h"

namespace zervik {

namespace {

// A received castling in the local view: the opponent's king and rook on
// row 8, and the rook's sprite (17 and 24 are the opponent's rooks of
// columns 8 and 1).
struct TRemoteCastling {
  char mark;
  int kingFrom, kingTo;
  int rookFrom, rookTo;
  int rookSprite;
};

constexpr TRemoteCastling kRemoteCastlings[4] = {
    {'1', 4, 2, 1, 3, 24},  // white, short
    {'2', 4, 6, 8, 5, 17},  // white, long
    {'3', 5, 3, 1, 4, 24},  // black, long
    {'4', 5, 7, 8, 6, 17},  // black, short
};

const TRemoteCastling* RemoteCastling(char mark) {
  for (const auto& c : kRemoteCastlings)
    if (c.mark == mark) return &c;
  return nullptr;
}

}  // namespace

TReviewedMove TGame::ReviewOpponentMove(const std::string& text) const {
  const auto parsed = ParseMoveText(text);
  if (const auto* fault = std::get_if<TRemoteMoveFault>(&parsed)) return *fault;
  const TMoveText& sent = std::get<TMoveText>(parsed);
  TRemoteMove move{sent.drawOffer, 9 - sent.fromX, 9 - sent.fromY,
                   sent.mark,      9 - sent.toX,   9 - sent.toY};

  // A local move is being made: the turn is ours, and applying a move now
  // would take over the squares and the sprite that move is working on.
  if (pieceDragging || promotionPending) return TRemoteMoveFault::rfLocalMoveInAir;
  // Every look-up below must find what an honest peer's move implies; a
  // move that breaks that can only corrupt the board, so it is refused.
  if (move.fromX == move.toX && move.fromY == move.toY) return TRemoteMoveFault::rfSameSquare;
  const int piece = board[move.fromX][move.fromY];
  const int target = board[move.toX][move.toY];
  if (piece >= 0) return TRemoteMoveFault::rfNoOpponentPiece;
  if (target < 0) return TRemoteMoveFault::rfCapturesOwnPiece;
  if (SpriteOn(move.fromX, move.fromY) == 0) return TRemoteMoveFault::rfSpriteMissing;
  if (target > 0 && SpriteOn(move.toX, move.toY) == 0) return TRemoteMoveFault::rfSpriteMissing;

  if (const TRemoteCastling* c = RemoteCastling(move.mark)) {
    const bool fits = piece == -pcKing && move.fromY == 8 && move.toY == 8 &&
                      move.fromX == c->kingFrom && move.toX == c->kingTo && target == 0 &&
                      board[c->rookFrom][8] == -pcRook && board[c->rookTo][8] == 0 &&
                      StandsOn(c->rookSprite, c->rookFrom, 8);
    if (!fits) return TRemoteMoveFault::rfCastlingMismatch;
  }
  const bool promotes = PromotionCode(move.mark).has_value();
  const bool pawnArrives = piece == -pcPawn && move.toY == 1;
  if (promotes != pawnArrives) return TRemoteMoveFault::rfPromotionMismatch;
  if (piece == -pcPawn && target == 0 && move.fromX != move.toX &&
      (board[move.toX][4] != pcPawn || SpriteOn(move.toX, 4) == 0))
    return TRemoteMoveFault::rfNoEnPassantVictim;
  return move;
}

bool TGame::ApplyOpponentMove(const std::string& text) {
  // An honest peer cannot move again before our reply, so a move arriving
  // during the glide of the last one comes from a broken peer. The last one
  // is finished at once, so its sprites stand on their squares before the
  // new move looks for them.
  for (int tick = 0; tick <= kAnimationTicks && services.timers->HasTimer(tagAnimation); ++tick)
    AnimateOpponentMove();

  const TReviewedMove reviewed = ReviewOpponentMove(text);
  const auto* move = std::get_if<TRemoteMove>(&reviewed);
  if (!move) return false;

  drawOfferReceived = move->drawOffer;
  remoteFromX = move->fromX;
  remoteFromY = move->fromY;
  remoteMark = move->mark;
  remoteToX = move->toX;
  remoteToY = move->toY;
  std::int8_t& from = board[remoteFromX][remoteFromY];
  std::int8_t& target = board[remoteToX][remoteToY];

  capturedSprite = 0;
  if (target > 0) capturedSprite = SpriteOn(remoteToX, remoteToY);

  enPassantDone = false;
  if (target == 0 && from == -pcPawn && remoteFromX != remoteToX) {
    capturedSprite = SpriteOn(remoteToX, 4);
    board[remoteToX][4] = 0;
    enPassantDone = true;
  }

  enPassantFile = 0;
  if (from == -pcPawn && remoteFromY == 7 && remoteToY == 5 &&
      ((remoteToX > 1 && board[remoteToX - 1][5] == pcPawn) ||
       (remoteToX < 8 && board[remoteToX + 1][5] == pcPawn)))
    enPassantFile = remoteToX;

  animSprite = SpriteOn(remoteFromX, remoteFromY);
  animRookSprite = 0;
  animStartX = SquareLeft(remoteFromX);
  animStartY = SquareTop(remoteFromY);
  animTargetX = SquareLeft(remoteToX);
  animTargetY = SquareTop(remoteToY);
  animStepX = static_cast<float>((animTargetX - animStartX) / kAnimationTicks);
  animStepY = static_cast<float>((animTargetY - animStartY) / kAnimationTicks);
  animPosX = static_cast<float>(spriteX[animSprite]);
  animPosY = static_cast<float>(spriteY[animSprite]);
  animTicks = 0;
  activeSprite = animSprite;

  if (const TRemoteCastling* c = RemoteCastling(remoteMark)) {
    target = -pcKing;
    from = 0;
    board[c->rookFrom][8] = 0;
    board[c->rookTo][8] = -pcRook;
    animRookSprite = c->rookSprite;
    rookStartX = spriteX[animRookSprite];
    rookStartY = spriteY[animRookSprite];
    rookTargetX = SquareLeft(c->rookTo);
    rookTargetY = rookStartY;
    rookStepX = static_cast<float>((rookTargetX - rookStartX) / kAnimationTicks);
    rookStepY = static_cast<float>((rookTargetY - rookStartY) / kAnimationTicks);
    rookPosX = static_cast<float>(rookStartX);
    rookPosY = static_cast<float>(rookStartY);
  } else {
    target = from;
    from = 0;
  }

  LoseCastlingRights(remoteToX, remoteToY);
  if (const auto code = PromotionCode(remoteMark)) target = static_cast<std::int8_t>(-*code);

  SearchLegalMoves();
  CheckOwnKing();
  if (!noLegalMove && kingInCheck) {
    services.sender->SendToOpponent("loga+");
    AddLogLine("a+");
  } else if (noLegalMove && !kingInCheck) {
    AddLogLine("l1/2-1/2");
    gameOver = true;
    services.sender->SendToOpponent("logl1/2-1/2");
  } else if (noLegalMove && kingInCheck) {
    services.sender->SendToOpponent("loga++");
    AddLogLine("a++");
  }

  services.timers->CreateTimer(tagAnimation, kAnimationTickMs, [this] { AnimateOpponentMove(); });
  return true;
}

void TGame::AnimateOpponentMove() {
  const bool moving = spriteX[animSprite] != animTargetX || spriteY[animSprite] != animTargetY;
  if (moving && animTicks < kAnimationTicks) {
    ++animTicks;
    animPosX += animStepX;
    animPosY += animStepY;
    spriteX[animSprite] = static_cast<std::int32_t>(animPosX);
    spriteY[animSprite] = static_cast<std::int32_t>(animPosY);
    if (animRookSprite != 0) {
      rookPosX += rookStepX;
      rookPosY += rookStepY;
      spriteX[animRookSprite] = static_cast<std::int32_t>(rookPosX);
      spriteY[animRookSprite] = static_cast<std::int32_t>(rookPosY);
    }
    services.view->RedrawPieces(0);
    return;
  }

  // With 60-pixel squares every distance is a multiple of the tick count
  // and the sprites are already there; with any other geometry they are
  // put there now instead of gliding on for ever.
  spriteX[animSprite] = animTargetX;
  spriteY[animSprite] = animTargetY;
  if (animRookSprite != 0) {
    spriteX[animRookSprite] = rookTargetX;
    spriteY[animRookSprite] = rookTargetY;
  }

  services.view->PlayMoveSound();
  if (capturedSprite != 0) {
    ParkSprite(capturedSprite);
    capturedSprite = 0;
  }
  if (const auto code = PromotionCode(remoteMark))
    spriteCode[animSprite] = static_cast<std::int8_t>(-*code);
  services.view->RedrawPieces(1);

  if (!noLegalMove && kingInCheck && !gameOver) {
    Banner("Шах", kCheckBannerMs, true, true);
    myTurn = false;  // the player gets the move when the banner closes
  } else if (noLegalMove && !kingInCheck) {
    Banner("Пат", kGameEndBannerMs, true, false);
    gameOver = true;
    myTurn = false;
  } else if (noLegalMove && kingInCheck) {
    Banner("Мат", kGameEndBannerMs, true, false);
    Banner("Вы проиграли", kGameEndBannerMs, false, false);
    gameOver = true;
    AddLogLine(localColour == 1 ? "l1-0" : "l0-1");
    myTurn = false;
  } else {
    myTurn = true;
  }

  TestMaterialDraw(1);
  if (materialDraw) {
    Banner("Ничья", kDrawBannerMs, true, false);
    gameOver = true;
    AddLogLine("l1/2-1/2");
    myTurn = false;
  }

  services.btnDraw->caption = "Предложить ничью";
  if (!gameOver) EnableDrawItem(true);
  if (drawOfferReceived && !drawOfferOpen && !gameOver) {
    services.banners->ShowBanner(opponentName + " предлагает ничью", kDrawOfferBannerMs, clBlack,
                                 myTurn, false, false);
    services.btnDraw->caption = "Согласиться с ничьей";
    EnableDrawItem(true);
    drawOfferOpen = true;
  }
  services.view->DrawWindowFrame(0);
  services.timers->FreeTimers(tagAnimation);
}

void TGame::ApplyReceivedRecordText(const std::string& text) {
  std::string line = text;
  if (line == "nl1/2-1/2") {
    line.erase(0, 1);
    Banner("Позиция на доске повторилась 3 раза", kRepetitionBannerMs, true, false);
    Banner("Ничья", kDrawBannerMs, false, false);
    gameOver = true;
    myTurn = false;
  } else if (line == "l1/2-1/2") {
    Banner("Пат", kGameEndBannerMs, false, false);
    gameOver = true;
  } else if (line == "a++") {
    Banner("Мат", kGameEndBannerMs, false, false);
    Banner("Вы победили", kGameEndBannerMs, false, false);
    gameOver = true;
    AddLogLine(localColour == 1 ? "l0-1" : "l1-0");
  }
  AddLogLine(line);
}

}  // namespace zervik
