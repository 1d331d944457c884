// The two window layouts: at start-up and switched during a game, also
// while the opponent's move is still gliding.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTextEdit>
#include <array>

#include "platform/virtual_timers.h"
#include "shell/form1.h"
#include "shell_fixture.h"

namespace zervik::test {
namespace {

struct TLayoutGeometry {
  QSize client;
  int boardLeft;
  QRect mchat;
  QRect echat;
  int menuLeft;
};

const TLayoutGeometry kPlain{{715, 508}, 9, {506, 168, 200, 306}, {506, 481, 200, 18}, 506};
const TLayoutGeometry kWithCoordinates{{726, 519}, 20, {517, 168, 200, 317}, {517, 492, 200, 18}, 517};

void ExpectGeometry(const TForm1& form, const TLayoutGeometry& expected, const char* when) {
  SCOPED_TRACE(when);
  EXPECT_EQ(form.size(), expected.client);
  EXPECT_EQ(form.windowBuffer.size(), expected.client);
  EXPECT_EQ(form.game.boardLeft, expected.boardLeft);
  EXPECT_EQ(form.game.boardTop, 9);
  EXPECT_EQ(form.mchat->geometry(), expected.mchat);
  EXPECT_EQ(form.echat->geometry(), expected.echat);
  for (int i = btnNewGame; i <= btnDraw; ++i) {
    EXPECT_EQ(form.screen.screenButtons[i].left, expected.menuLeft) << "item " << i;
    EXPECT_EQ(form.screen.screenButtons[i].top, TForm1::kMenuTops[i]) << "item " << i;
  }
}

TEST(LayoutTest, StartUpTakesTheLayoutOfTheIniFile) {
  for (bool withCoordinates : {false, true}) {
    TSkinFixture skins;
    skins.AddDefaults();
    auto form = skins.MakeForm(withCoordinates ? "[Options]\r\nDrawHV=1\r\n" : "");
    ExpectGeometry(*form, withCoordinates ? kWithCoordinates : kPlain,
                   withCoordinates ? "DrawHV=1" : "no INI file");
    EXPECT_EQ(form->screen.screenButtons[btnNewGame].caption, "Новая игра");
    EXPECT_FALSE(form->screen.screenButtons[btnNewGame].enabled);
    EXPECT_EQ(form->screen.screenButtons[btnDraw].textColour, clSilver);
  }
}

class LayoutSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skins.AddDefaults();
    form = skins.MakeForm();
    form->seams.coloursChosen = [] { return true; };
    form->game.services.timers = &clock;
    form->show();
  }

  void StartGame(std::uint8_t localColour) {
    form->game.localColour = localColour;
    form->game.StartNewGame();
    ASSERT_TRUE(skins.errors.empty());
  }

  // The square each sprite stands on, (0, 0) for one between squares.
  std::array<QPoint, kSpriteCount + 1> Squares() const {
    std::array<QPoint, kSpriteCount + 1> squares{};
    for (int k = 1; k <= kSpriteCount; ++k)
      for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
          if (form->game.spriteX[k] == form->game.SquareLeft(x) &&
              form->game.spriteY[k] == form->game.SquareTop(y))
            squares[k] = QPoint(x, y);
    return squares;
  }

  // What the skin window's "ОК" does with the coordinate choice.
  void Switch(bool withCoordinates) {
    form->settings.drawCoordinates = withCoordinates;
    form->ApplyLayout();
    ASSERT_TRUE(form->LoadSkinChecked());
  }

  TSkinFixture skins;
  TVirtualTimers clock;
  std::unique_ptr<TForm1> form;
};

TEST_F(LayoutSwitchTest, PiecesStayOnTheirSquaresBothWays) {
  StartGame(0);
  const auto before = Squares();
  for (int k = 1; k <= kSpriteCount; ++k) ASSERT_NE(before[k], QPoint()) << "sprite " << k;

  for (bool withCoordinates : {true, true, false}) {
    Switch(withCoordinates);
    ExpectGeometry(*form, withCoordinates ? kWithCoordinates : kPlain, "after the switch");
    EXPECT_EQ(Squares(), before);
    // Drawn there, too: the white king's body on its square.
    const int kingX = form->game.SquareLeft(5);
    const int kingY = form->game.SquareTop(1);
    EXPECT_EQ(PixelAt(form->windowBuffer, kingX + 30, kingY + 30), PieceBody(1, 4));
  }
}

struct TFlightCase {
  const char* name;
  const char* move;  // as the white opponent sends it
  int sprite;
  QPoint target;     // in the black copy's view
  int rookSprite;
  QPoint rookTarget;
};

class FlightTest : public LayoutSwitchTest, public ::testing::WithParamInterface<TFlightCase> {};

TEST_P(FlightTest, AMoveInFlightLandsOnTheShiftedSquare) {
  const TFlightCase& row = GetParam();
  StartGame(1);
  TGame& game = form->game;
  if (row.rookSprite) {
    // Room for the castling: the knight and bishop between king and rook go.
    for (int x : {2, 3}) {
      game.ParkSprite(game.SpriteOn(x, 8));
      game.board[x][8] = 0;
    }
  }
  game.ApplyOpponentMove(row.move);
  ASSERT_TRUE(clock.HasTimer(tagAnimation)) << "the move was not taken";
  clock.Advance(kAnimationTickMs * 10);
  ASSERT_TRUE(clock.HasTimer(tagAnimation));

  Switch(true);
  for (int tick = 0; tick < 40 && clock.HasTimer(tagAnimation); ++tick) clock.Advance(kAnimationTickMs);
  EXPECT_FALSE(clock.HasTimer(tagAnimation));
  EXPECT_EQ(game.spriteX[row.sprite], game.SquareLeft(row.target.x()));
  EXPECT_EQ(game.spriteY[row.sprite], game.SquareTop(row.target.y()));
  if (row.rookSprite) {
    EXPECT_EQ(game.spriteX[row.rookSprite], game.SquareLeft(row.rookTarget.x()));
    EXPECT_EQ(game.spriteY[row.rookSprite], game.SquareTop(row.rookTarget.y()));
  }
}

INSTANTIATE_TEST_SUITE_P(Moves, FlightTest,
                         ::testing::Values(TFlightCase{"PawnDoubleStep", "52.54", 28, {4, 5}, 0, {}},
                                           TFlightCase{"ShortCastling", "51171", 21, {2, 8}, 24, {3, 8}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayoutSwitchTest, TheLayoutInForceMovesNothing) {
  StartGame(0);
  const auto spriteX = form->game.spriteX;
  Switch(false);
  EXPECT_EQ(form->game.spriteX, spriteX);
  ExpectGeometry(*form, kPlain, "same layout");
}

}  // namespace
}  // namespace zervik::test
