// The banner notices over the board.
#include "program_fixture.h"

namespace zervik::test {
namespace {

class BannersTest : public ProgramTest {
 protected:
  TBanners& banners() { return program->banners; }
  // Runs the clock until no banner is shown or queued.
  void RunBanners() {
    for (int i = 0; i < 100000 && form().bannerActive; ++i) clock.Advance(kBannerTickMs);
    ASSERT_FALSE(form().bannerActive);
  }
};

TEST_F(BannersTest, TwoNoticesInOneHandlerShowOneAfterTheOtherWithTheirOwnEffects) {
  StartGameAsWhite();
  game().myTurn = false;
  banners().ShowBanner("Позиция на доске повторилась 3 раза", 3000, clBlack, true, true, false);
  banners().ShowBanner("Ничья", 5000, clBlack, false, true, false);
  EXPECT_EQ(banners().bannerText, "Позиция на доске повторилась 3 раза");
  EXPECT_EQ(banners().Pending(), 1);
  // Grow (about ten ticks), then the first hold time.
  clock.Advance(20 * kBannerTickMs + 3000);
  EXPECT_EQ(banners().bannerText, "Позиция на доске повторилась 3 раза")
      << "the first one still shrinks";
  EXPECT_FALSE(game().myTurn);
  for (int i = 0; i < 30 && banners().bannerText != "Ничья"; ++i) clock.Advance(kBannerTickMs);
  ASSERT_EQ(banners().bannerText, "Ничья");
  EXPECT_TRUE(game().myTurn) << "the first notice's end effect";
  EXPECT_EQ(banners().Pending(), 0);
  EXPECT_EQ(banners().bannerHoldMs, 5000);
  RunBanners();
  EXPECT_FALSE(game().myTurn) << "the second notice's end effect";
}

TEST_F(BannersTest, TwentyPendingThenNineteenAndAFullQueueDrops) {
  StartGameAsWhite();
  banners().ShowBanner("first", 100, clBlack, false, false, false);
  for (int i = 0; i < kBannerQueueSize; ++i)
    banners().ShowBanner("queued " + std::to_string(i), 100, clBlack, false, false, false);
  EXPECT_EQ(banners().Pending(), 20);
  banners().ShowBanner("one too many", 100, clBlack, false, false, false);
  EXPECT_EQ(banners().Pending(), 20);
  EXPECT_EQ(banners().dropped, 1);
  for (int i = 0; i < 1000 && banners().bannerText == "first"; ++i) clock.Advance(kBannerTickMs);
  EXPECT_EQ(banners().bannerText, "queued 0");
  EXPECT_EQ(banners().Pending(), 19);
  EXPECT_TRUE(banners().bannerQueue[19].text.empty());
  EXPECT_EQ(banners().bannerQueue[0].text, "queued 1");
  RunBanners();
  for (const TBannerRequest& slot : banners().bannerQueue) EXPECT_TRUE(slot.text.empty());
}

TEST_F(BannersTest, CheckHoldsTheTurnUntilItHasShrunkAway) {
  StartGameAsWhite();
  game().myTurn = false;  // the opponent's checking move has just been applied
  banners().ShowBanner("Шах", 1500, clBlack, true, true, false);
  const int X = SquareCentreX(5);
  const int Y = SquareCentreY(2);
  clock.Advance(10 * kBannerTickMs + 1500 + 5 * kBannerTickMs);  // mid-shrink
  ASSERT_TRUE(form().bannerActive);
  Press(X, Y);
  EXPECT_FALSE(game().pieceDragging) << "a piece moved while the check banner held the turn";
  Release(X, Y);
  RunBanners();
  EXPECT_TRUE(game().myTurn);
  Press(X, Y);
  EXPECT_TRUE(game().pieceDragging);
  Release(X, Y);
}

TEST_F(BannersTest, GrowsAboutTheBoardCentreInBold) {
  StartGameAsWhite();
  banners().ShowBanner("Соединение невозможно, у вашего оппонента другая версия Zervik", 6000,
                       clBlack, false, false, false);
  const int cx = game().boardLeft + game().boardWidth / 2;
  const int cy = game().boardTop + game().boardHeight / 2;
  const QFont bold = WindowFont(true);
  EXPECT_EQ(form().bannerImage.width(),
            TextWidth(bold, QString::fromUtf8(
                                "Соединение невозможно, у вашего оппонента другая версия Zervik")) +
                40);
  for (int i = 0; i < 12; ++i) {
    clock.Advance(kBannerTickMs);
    if (form().bannerFrame.isNull()) continue;
    const int mid = game().spriteX[kBannerSlot] + form().bannerFrame.width() / 2;
    EXPECT_LE(std::abs(mid - cx), 2) << "tick " << i;
    const int midY = game().spriteY[kBannerSlot] + form().bannerFrame.height() / 2;
    EXPECT_LE(std::abs(midY - cy), 2) << "tick " << i;
  }
}

TEST_F(BannersTest, PiecesUnderTheBannerAreIntactAfterwards) {
  StartGameAsWhite();
  // Put pieces on the squares under and beside the board centre.
  game().PlaceSprite(9, 4, 4);   // a pawn on d4
  game().PlaceSprite(10, 5, 5);  // a pawn on e5
  game().PlaceSprite(25, 3, 5);  // an opponent pawn on c5
  form().RedrawPieces(1);
  const QImage before = form().boardCanvas.copy(form().boardRect.ToQRect());
  banners().ShowBanner("Шах", 1500, clBlack, true, true, false);
  clock.Advance(10 * kBannerTickMs + 100);
  ASSERT_FALSE(form().bannerFrame.isNull());
  EXPECT_NE(form().boardCanvas.copy(form().boardRect.ToQRect()), before) << "no banner was drawn";
  RunBanners();
  EXPECT_EQ(form().boardCanvas.copy(form().boardRect.ToQRect()), before);
  EXPECT_EQ(game().spriteX[kBannerSlot], kBannerParkedXY);
}

TEST_F(BannersTest, OpponentLeavingShowsItsNoticeThenTheMainMenu) {
  FinishTransition();
  program->match.LinkEstablished();
  program->match.opponentName = "Anna";
  FinishTransition();
  program->match.HandleOpponentMessage("ext");
  EXPECT_FALSE(screen().panelShown) << "the panel vanishes at once";
  EXPECT_EQ(banners().bannerText, "Anna вышел из игры");
  clock.Advance(10 * kBannerTickMs + 4900);
  EXPECT_EQ(screen().screenState, ssBoardOnly);
  RunBanners();
  EXPECT_EQ(screen().screenState, ssMainMenu);
  FinishTransition();
  EXPECT_TRUE(screen().panelShown);
  EXPECT_EQ(button(btnPanelTop).caption, "Игра по локальной сети");
}

}  // namespace
}  // namespace zervik::test
