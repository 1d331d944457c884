// The menu bar, the window drag and the pieces under the mouse.
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextEdit>

#include "program_fixture.h"

namespace zervik::test {
namespace {

class MenuTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    program->menu.askExitQuestion = [this] {
      ++questions;
      return answerYes;
    };
    program->menu.closeWindow = [this] { ++closes; };
  }
  int questions = 0;
  int closes = 0;
  bool answerYes = false;
};

TEST_F(MenuTest, PressOnAButtonsOutermostPixelDragsTheWindow) {
  FinishTransition();
  const TScreenButton options = button(btnOptions);
  const QPoint start = form().pos();
  Press(options.left, options.top + 12);  // the left edge column
  EXPECT_TRUE(program->menu.formDragging);
  Move(options.left + 30, options.top + 12 + 7);
  EXPECT_EQ(form().pos(), start + QPoint(30, 7));
  Release(options.left + 30, options.top + 19);
  EXPECT_FALSE(program->menu.formDragging);
  // One pixel further in, the press is the item's and drags nothing.
  program->menu.FormMouseDown(Qt::LeftButton, options.left + 1, options.top + 1);
  EXPECT_FALSE(program->menu.formDragging);
}

TEST_F(MenuTest, PressOnTheGreyNewGameDoesNothingAndDragsNothing) {
  FinishTransition();
  ASSERT_FALSE(button(btnNewGame).enabled);
  ClickButton(btnNewGame);
  EXPECT_FALSE(program->menu.formDragging);
  EXPECT_FALSE(screen().newGameRequested);
  EXPECT_EQ(screen().screenState, ssMainMenu);
  EXPECT_FALSE(screen().panelInTransition);
  // Hovering it keeps it grey.
  Move(button(btnNewGame).left + 100, button(btnNewGame).top + 12);
  EXPECT_EQ(button(btnNewGame).textColour, clSilver);
}

TEST_F(MenuTest, PressOnTheBoardNeverDragsTheWindowButTheFreeAreaDoes) {
  FinishTransition();
  Press(game().boardLeft + 3, game().boardTop + 3);  // on the board's frame, no piece
  EXPECT_FALSE(program->menu.formDragging);
  Release(game().boardLeft + 3, game().boardTop + 3);
  Press(form().width() - 3, 120);  // right of the menu, between the items
  EXPECT_TRUE(program->menu.formDragging);
  Release(form().width() - 3, 120);
}

TEST_F(MenuTest, HoverTurnsAnEnabledItemBlueAndLeavingTurnsItBlack) {
  FinishTransition();
  const TScreenButton& about = button(btnAbout);
  Move(about.left + 50, about.top + 10);
  EXPECT_EQ(button(btnAbout).textColour, clBlue);
  Move(about.left + 50, about.top + 40);
  EXPECT_EQ(button(btnAbout).textColour, clBlack);
}

struct TExitRow {
  const char* name;
  bool listen;  // the server socket listens
  int state;    // the screen shown when "Выход" is pressed
  bool asks;    // the question comes
};

class ExitTest : public MenuTest, public ::testing::WithParamInterface<TExitRow> {};

TEST_P(ExitTest, AsksOnlyWhenALinkMayBeUp) {
  const TExitRow& row = GetParam();
  FinishTransition();
  if (row.listen) program->lan.StartLanServer();
  screen().screenState = row.state;
  answerYes = false;
  ClickButton(btnExit);
  EXPECT_EQ(questions, row.asks ? 1 : 0);
  EXPECT_EQ(closes, row.asks ? 0 : 1) << "No keeps the window; no question closes at once";
  EXPECT_EQ(sender.Count("ext"), 0);
  if (!row.asks) return;
  answerYes = true;
  ClickButton(btnExit);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(sender.Count("ext"), 1);
  EXPECT_FALSE(program->lan.ServerActive());
}

const TExitRow kExitRows[] = {
    {"NoLink", false, ssMainMenu, false},
    {"ServerStillWaiting", true, ssLanWaitClient, false},
    {"ServerDuringTheSetUp", true, ssPlayerSetup, true},
    {"ServerDuringTheGame", true, ssBoardOnly, true},
};

INSTANTIATE_TEST_SUITE_P(Menu, ExitTest, ::testing::ValuesIn(kExitRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, ExitQuestionOnAModemLink) {
  FinishTransition();
  program->match.modemLinkUp = true;
  ClickButton(btnExit);
  EXPECT_EQ(questions, 1);
}

TEST_F(MenuTest, AcceptingADrawSendsDraOnce) {
  StartGameAsWhite();
  game().drawOfferOpen = true;  // the opponent's move carried an offer
  button(btnDraw).caption = "Согласиться с ничьей";
  ASSERT_TRUE(button(btnDraw).enabled);
  ClickButton(btnDraw);
  ClickButton(btnDraw);
  EXPECT_EQ(sender.Count("dra"), 1);
  EXPECT_FALSE(button(btnDraw).enabled);
  EXPECT_EQ(button(btnDraw).textColour, clSilver);
  EXPECT_TRUE(game().gameOver);
  EXPECT_EQ(program->banners.bannerText, "Ничья");
}

TEST_F(MenuTest, OfferingADrawWaitsForTheNextMove) {
  StartGameAsWhite();
  ClickButton(btnDraw);
  EXPECT_EQ(button(btnDraw).caption, "Ничья предложена");
  EXPECT_TRUE(game().drawOfferToSend);
  EXPECT_EQ(sender.Count("dra"), 0);
  EXPECT_EQ(program->banners.bannerText, "Предложение вступит в силу по завершении хода");
}

TEST_F(MenuTest, NewGameAsksTheOpponentFromTheWaitingScreen) {
  StartGameAsWhite();
  ClickButton(btnNewGame);
  EXPECT_TRUE(screen().newGameRequested);
  EXPECT_FALSE(button(btnNewGame).enabled);
  EXPECT_EQ(sender.Count("new"), 0) << "sent only once the panel has opened";
  FinishTransition();
  EXPECT_EQ(sender.Count("new"), 1);
  EXPECT_FALSE(form().eip->isVisibleTo(&form()));
}

// ---- The pieces ----

using MouseTest = ProgramTest;

TEST_F(MouseTest, RightButtonPressesAndReleasesAreIgnored) {
  StartGameAsWhite();
  Press(SquareCentreX(5), SquareCentreY(2), Qt::RightButton);
  EXPECT_FALSE(game().pieceDragging);
  Press(form().width() - 3, 120, Qt::RightButton);
  EXPECT_FALSE(program->menu.formDragging);
  // A right release during a left drag does not drop the piece.
  Press(SquareCentreX(5), SquareCentreY(2));
  ASSERT_TRUE(game().pieceDragging);
  Move(SquareCentreX(5), SquareCentreY(4));
  Release(SquareCentreX(5), SquareCentreY(4), Qt::RightButton);
  EXPECT_TRUE(game().pieceDragging);
  EXPECT_TRUE(sender.sent.empty());
  Release(SquareCentreX(5), SquareCentreY(4));
  EXPECT_FALSE(game().pieceDragging);
  EXPECT_TRUE(sender.AnyStartingWith("hod"));
}

TEST_F(MouseTest, DropOutsideTheBoardLandsOnTheNearestEdgeSquare) {
  StartGameAsWhite();
  // The knight on g1 released far right of the board, level with rank 3:
  // the clamped picture lies over h3.
  const int k = game().SpriteOn(7, 1);
  ASSERT_NE(k, 0);
  Press(SquareCentreX(7), SquareCentreY(1));
  ASSERT_TRUE(game().pieceDragging);
  Move(game().boardLeft + game().boardWidth + 150, SquareCentreY(3));
  EXPECT_EQ(game().spriteX[k], game().boardLeft + game().boardWidth - game().squareWidth - 4);
  Release(game().boardLeft + game().boardWidth + 150, SquareCentreY(3));
  EXPECT_EQ(game().spriteX[k], game().SquareLeft(8));
  EXPECT_EQ(game().spriteY[k], game().SquareTop(3));
  EXPECT_EQ(game().board[8][3], pcKnight);
  EXPECT_TRUE(sender.AnyStartingWith("hod"));
}

TEST_F(MouseTest, IllegalDropPutsThePieceBackAndSendsNothing) {
  StartGameAsWhite();
  const int k = game().SpriteOn(5, 2);
  Press(SquareCentreX(5), SquareCentreY(2));
  Move(SquareCentreX(5), SquareCentreY(5));  // e2-e5
  Release(SquareCentreX(5), SquareCentreY(5));
  EXPECT_EQ(game().spriteX[k], game().SquareLeft(5));
  EXPECT_EQ(game().spriteY[k], game().SquareTop(2));
  EXPECT_TRUE(sender.sent.empty());
  EXPECT_TRUE(game().myTurn);
}

TEST_F(MouseTest, AParkedSpriteCannotBePickedUp) {
  StartGameAsWhite();
  const int k = game().SpriteOn(1, 2);
  game().ParkSprite(k);
  Press(game().spriteX[k] + 30, game().spriteY[k] + 30);
  EXPECT_FALSE(game().pieceDragging);
  Release(game().spriteX[k] + 30, game().spriteY[k] + 30);
}

TEST_F(MouseTest, TurnLostDuringTheDragPutsThePictureBack) {
  StartGameAsWhite();
  const int k = game().SpriteOn(4, 2);
  Press(SquareCentreX(4), SquareCentreY(2));
  Move(SquareCentreX(4), SquareCentreY(4));
  game().myTurn = false;  // a message took the turn away
  Release(SquareCentreX(4), SquareCentreY(4));
  EXPECT_FALSE(game().pieceDragging);
  EXPECT_EQ(game().spriteX[k], game().SquareLeft(4));
  EXPECT_EQ(game().spriteY[k], game().SquareTop(2));
  EXPECT_TRUE(sender.sent.empty());
}

TEST_F(MouseTest, PiecesUnderTheOpenPanelCannotBePickedUp) {
  StartGameAsWhite();
  // Own pieces on the middle ranks, where the question's buttons lie.
  for (int x = 3; x <= 6; ++x) game().PlaceSprite(game().SpriteOn(x, 2), x, 4);
  program->match.HandleOpponentMessage("new");
  FinishTransition();
  ASSERT_EQ(screen().screenState, ssNewGameQuery);
  // The question's "Да" lies over the board; pressing it answers, and no
  // piece under the panel rises with it.
  const TScreenButton yes = button(btnPanelMid);
  Press(yes.left + 80, yes.top + 12);  // over the pawn on d4
  EXPECT_FALSE(game().pieceDragging);
  Move(yes.left + 100, yes.top + 80);
  Release(yes.left + 100, yes.top + 80);
  EXPECT_EQ(sender.Count("acc"), 1);
  EXPECT_FALSE(sender.AnyStartingWith("hod"));
}

TEST_F(MouseTest, NewGameQuestionDuringADragOpensOnRelease) {
  StartGameAsWhite();
  Press(SquareCentreX(5), SquareCentreY(2));
  ASSERT_TRUE(game().pieceDragging);
  program->match.HandleOpponentMessage("new");
  EXPECT_FALSE(screen().panelInTransition);
  Move(SquareCentreX(5), SquareCentreY(4));
  Release(SquareCentreX(5), SquareCentreY(4));
  EXPECT_EQ(screen().screenState, ssNewGameQuery);
  EXPECT_TRUE(screen().panelInTransition);
}

// ---- The promotion chooser ----

TEST_F(MouseTest, PromotionChooserPicksThePieceWithAnyButton) {
  StartGameAsWhite();
  // The a-file cleared above the own a-pawn, which stands on a7.
  for (int y : {7, 8}) {
    const int k = game().SpriteOn(1, y);
    if (k) game().ParkSprite(k);
    game().board[1][y] = pcEmpty;
  }
  const int pawn = game().SpriteOn(1, 2);
  game().board[1][2] = pcEmpty;
  game().board[1][7] = pcPawn;
  game().PlaceSprite(pawn, 1, 7);
  form().RedrawPieces(1);
  Press(SquareCentreX(1), SquareCentreY(7));
  Move(SquareCentreX(1), SquareCentreY(8));
  Release(SquareCentreX(1), SquareCentreY(8));
  ASSERT_TRUE(form().pmes->isVisibleTo(&form())) << "no chooser for a pawn on the last rank";
  EXPECT_FALSE(sender.AnyStartingWith("hod")) << "the move goes out only with its piece";
  // A right-button press on the knight, the fourth picture.
  const QPointF at(201 + 20, 30);
  QMouseEvent press(QEvent::MouseButtonPress, at, form().ican->mapToGlobal(at), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(form().ican, &press);
  EXPECT_FALSE(form().pmes->isVisibleTo(&form()));
  EXPECT_EQ(game().board[1][8], pcKnight);
  EXPECT_EQ(game().spriteCode[pawn], pcKnight);
  EXPECT_TRUE(sender.AnyStartingWith("hod"));
}

// ---- The chat entry ----

TEST_F(MouseTest, EnterInTheChatEntrySendsTheLineInTheWritersColour) {
  StartGameAsWhite();
  program->match.playerName = "Борис";
  program->chat.EnableChat();
  form().echat->setText(QStringLiteral("привет"));
  emit form().echat->returnPressed();
  EXPECT_EQ(sender.Count("chtБорис: привет"), 1);
  EXPECT_TRUE(form().echat->text().isEmpty());
  ASSERT_GE(form().LineCount(), 1);
  EXPECT_EQ(form().Line(form().LineCount() - 1), "Борис: привет");
  EXPECT_EQ(form().LineColour(form().LineCount() - 1), clNavy);
  // A received line is shown as plain text in the opponent's colour.
  program->match.HandleOpponentMessage("chtAnna: <b>hi</b>");
  EXPECT_EQ(form().Line(form().LineCount() - 1), "Anna: <b>hi</b>");
  EXPECT_EQ(form().LineColour(form().LineCount() - 1), clMaroon);
}

}  // namespace
}  // namespace zervik::test
