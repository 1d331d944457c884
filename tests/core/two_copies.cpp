#include "tests/core/two_copies.h"

#include "platform/timers.h"

namespace zervik::testing {

namespace {

int PickX(int promotion) {
  switch (promotion) {
    case pcQueen:
      return 35;
    case pcRook:
      return 100;
    case pcBishop:
      return 165;
    default:
      return 230;
  }
}

}  // namespace

void TCopy::Move(std::string_view from, std::string_view to, int promotion) {
  MoveLocal(X(from), Y(from), X(to), Y(to), promotion);
}

void TCopy::MoveLocal(int x, int y, int tx, int ty, int promotion) {
  game.PickUpPiece(game.SquareLeft(x) + 30, game.SquareTop(y) + 30);
  game.DragPiece(game.SquareLeft(tx) + 30, game.SquareTop(ty) + 30);
  game.DropPiece();
  if (promotion != 0 && game.promotionPending) game.icanMouseDown(PickX(promotion), 35);
}

void TCopy::FinishAnimation() {
  for (int guard = 0; services.timers.HasTimer(tagAnimation) && guard < 1000; ++guard)
    services.timers.RunNext();
}

void TCopy::CloseBanners() {
  for (; bannersClosed < services.banners.size(); ++bannersClosed) {
    const TBannerCall& b = services.banners[bannersClosed];
    if (b.setTurnOnClose) game.myTurn = b.turnValue;
  }
}

TTwoCopies::TTwoCopies() {
  white.game.localColour = 0;
  black.game.localColour = 1;
  white.game.opponentName = "Чёрный";
  black.game.opponentName = "Белый";
}

void TTwoCopies::StartGames() {
  white.game.StartNewGame();
  black.game.StartNewGame();
}

void TTwoCopies::Deliver(TCopy& from, TCopy& to) {
  for (; from.delivered < from.services.sent.size(); ++from.delivered) {
    const std::string& message = from.services.sent[from.delivered];
    const std::string tag = message.substr(0, 3);
    const std::string payload = message.size() > 3 ? message.substr(3) : "";
    if (tag == "hod") to.game.ApplyOpponentMove(payload);
    if (tag == "log") to.game.ApplyReceivedRecordText(payload);
  }
}

void TTwoCopies::Settle() {
  for (int round = 0; round < 10; ++round) {
    const std::size_t before = white.services.sent.size() + black.services.sent.size();
    Deliver(white, black);
    Deliver(black, white);
    white.FinishAnimation();
    black.FinishAnimation();
    Deliver(white, black);
    Deliver(black, white);
    white.CloseBanners();
    black.CloseBanners();
    if (white.services.sent.size() + black.services.sent.size() == before &&
        white.delivered == white.services.sent.size() &&
        black.delivered == black.services.sent.size())
      return;
  }
}

void TTwoCopies::Play(TCopy& mover, std::string_view from, std::string_view to, int promotion) {
  mover.Move(from, to, promotion);
  Settle();
}

}  // namespace zervik::testing
