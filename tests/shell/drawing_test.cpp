// The board drawing, checked on the pixels of the canvases and of the
// window's back buffer.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <vector>

#include "shell/form1.h"
#include "shell_fixture.h"

namespace zervik::test {
namespace {

class DrawingTest : public ::testing::Test {
 protected:
  void Open(std::uint8_t localColour, const QByteArray& ini = {}) {
    skins.AddDefaults();
    form = skins.MakeForm(ini);
    form->seams.coloursChosen = [] { return true; };
    form->game.localColour = localColour;
    form->show();
    ParkAll(form->game);
    ASSERT_TRUE(form->LoadSkinChecked());
    ASSERT_TRUE(skins.errors.empty()) << skins.errors.front().toStdString();
  }

  void Place(int k, int code, int x, int y) {
    form->game.spriteCode[k] = static_cast<std::int8_t>(code);
    form->game.spriteX[k] = form->game.SquareLeft(x);
    form->game.spriteY[k] = form->game.SquareTop(y);
  }

  QImage BoardArea(const QImage& surface) const { return surface.copy(form->boardRect.ToQRect()); }

  // The colour of the bare fixture board at window point (x, y).
  QColor BoardAt(int x, int y) const {
    static const QImage board = FixtureBoard();
    return PixelAt(board, x - form->game.boardLeft, y - form->game.boardTop);
  }

  TSkinFixture skins;
  std::unique_ptr<TForm1> form;
};

// Which fixture file the picture of a sprite code comes from, by colour.
struct TPictureCase {
  const char* name;
  std::uint8_t localColour;
  int code;
  int fileIndex;  // into PieceFiles()
};

class PiecePictureTest : public DrawingTest, public ::testing::WithParamInterface<TPictureCase> {};

TEST_P(PiecePictureTest, PieceIsDrawnOnItsSquareWithoutItsBackgroundColour) {
  const TPictureCase& row = GetParam();
  Open(row.localColour);
  Place(1, row.code, 3, 2);
  form->RedrawPieces(0);

  const int left = form->game.SquareLeft(3);
  const int top = form->game.SquareTop(2);
  const QImage& window = form->windowBuffer;
  EXPECT_EQ(PixelAt(window, left + 30, top + 30), PieceBody(1, row.fileIndex));
  EXPECT_EQ(PixelAt(window, left + kBodyFrom, top + kBodyTo - 1), PieceBody(1, row.fileIndex));
  // The key colour around the body lets the square show through.
  for (const QPoint& p : {QPoint(2, 2), QPoint(57, 2), QPoint(2, 57), QPoint(57, 57), QPoint(30, 5)})
    EXPECT_EQ(PixelAt(window, left + p.x(), top + p.y()), BoardAt(left + p.x(), top + p.y()))
        << "at " << p.x() << "," << p.y();
}

INSTANTIATE_TEST_SUITE_P(
    Slots, PiecePictureTest,
    ::testing::Values(TPictureCase{"WhiteOwnRook", 0, +1, 0}, TPictureCase{"WhiteOpponentKing", 0, -5, 10},
                      TPictureCase{"BlackOwnRookIsBlack", 1, +1, 6},
                      TPictureCase{"BlackOpponentPawnIsWhite", 1, -6, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawingTest, RedrawWithNothingMovedChangesNothingButStillCopiesTheBoard) {
  Open(0);
  Place(1, +1, 1, 1);
  Place(9, +6, 1, 2);
  Place(17, -1, 8, 8);
  form->RedrawPieces(1);
  form->RedrawPieces(0);
  const QImage canvas = form->boardCanvas.copy();
  const QImage shown = BoardArea(form->windowBuffer);

  // Something else scribbled over the board area of the window.
  FillArea(form->windowBuffer, form->boardRect, clRed);
  form->RedrawPieces(0);

  EXPECT_EQ(form->boardCanvas, canvas);
  EXPECT_EQ(BoardArea(form->windowBuffer), shown);
}

TEST_F(DrawingTest, WhileThePanelIsShownNothingIsDrawnInEitherMode) {
  Open(0);
  Place(1, +1, 1, 1);
  form->RedrawPieces(1);
  const QImage canvas = form->boardCanvas.copy();
  const QImage window = form->windowBuffer.copy();

  form->screen.panelShown = true;
  Place(1, +1, 5, 5);
  form->bannerActive = true;
  form->game.spriteX[kBannerSlot] = form->game.boardLeft + 100;
  form->game.spriteY[kBannerSlot] = form->game.boardTop + 100;
  form->bannerFrame = QImage(80, 20, QImage::Format_RGB32);
  form->bannerFrame.fill(Qt::blue);
  for (int mode : {0, 1}) {
    form->RedrawPieces(mode);
    EXPECT_EQ(form->boardCanvas, canvas) << "mode " << mode;
    EXPECT_EQ(form->windowBuffer, window) << "mode " << mode;
  }
}

struct TDragCase {
  const char* name;
  int dragged;
  int still;
};

class DragAcrossTest : public DrawingTest, public ::testing::WithParamInterface<TDragCase> {};

// The dragged sprite goes over the other one at every step, whichever has
// the higher number, and afterwards both are whole.
TEST_P(DragAcrossTest, BothSpritesStayIntact) {
  const TDragCase& row = GetParam();
  Open(0);
  Place(row.still, +1, 4, 4);   // white rook: file 0
  Place(row.dragged, +4, 2, 4);  // white queen: file 3
  form->RedrawPieces(1);

  TGame& game = form->game;
  const int stillX = game.spriteX[row.still];
  const int stillY = game.spriteY[row.still];
  const QColor stillBody = PieceBody(1, 0);
  const QColor draggedBody = PieceBody(1, 3);
  const int endX = game.SquareLeft(6);
  for (int step = 0; game.spriteX[row.dragged] < endX; ++step) {
    game.spriteX[row.dragged] = std::min(game.spriteX[row.dragged] + 7, endX);
    game.spriteY[row.dragged] = stillY + (step % 3) - 1;  // a hand is never quite steady
    form->RedrawPieces(0);
    const int dx = game.spriteX[row.dragged];
    const int dy = game.spriteY[row.dragged];
    for (int px = stillX + kBodyFrom; px < stillX + kBodyTo; px += 4) {
      for (int py = stillY + kBodyFrom; py < stillY + kBodyTo; py += 13) {
        const bool underDragged = px >= dx + kBodyFrom && px < dx + kBodyTo &&
                                  py >= dy + kBodyFrom && py < dy + kBodyTo;
        ASSERT_EQ(PixelAt(form->windowBuffer, px, py), underDragged ? draggedBody : stillBody)
            << "step " << step << " at " << px << "," << py;
      }
    }
  }
  // The result equals a fresh drawing of both sprites where they now stand.
  const QImage dragged = BoardArea(form->windowBuffer);
  form->CreateBoardCanvases();
  form->RedrawPieces(1);
  EXPECT_EQ(dragged, BoardArea(form->windowBuffer));
}

INSTANTIATE_TEST_SUITE_P(Numbers, DragAcrossTest,
                         ::testing::Values(TDragCase{"HigherOverLower", 12, 1},
                                           TDragCase{"LowerOverHigher", 1, 12}),
                         [](const auto& info) { return std::string(info.param.name); });

// A wide banner grows and shrinks about the board centre, over a row of
// pieces: at every step each piece shows wherever the banner is not, also
// far from the banner's corner, and the board is as before when it has gone.
TEST_F(DrawingTest, BannerGrowsAndShrinksOverPiecesWithoutLosingThem) {
  Open(0);
  for (int x = 1; x <= 8; ++x) Place(8 + x, +6, x, 5);
  form->RedrawPieces(1);
  const QImage before = BoardArea(form->windowBuffer);

  TGame& game = form->game;
  const QColor bannerColour(0, 0, 255);
  const QColor pawn = PieceBody(1, 5);
  const int cx = game.boardLeft + game.boardWidth / 2;
  const int cy = game.boardTop + game.boardHeight / 2 - 15;  // over the pawns' bodies
  form->bannerActive = true;
  std::vector<int> widths;
  for (int w = 30; w <= 300; w += 30) widths.push_back(w);
  for (int w = 270; w >= 0; w -= 30) widths.push_back(w);
  for (int w : widths) {
    const int h = w / 10 + 1;
    form->bannerFrame = QImage(std::max(w, 1), h, QImage::Format_RGB32);
    form->bannerFrame.fill(bannerColour);
    game.spriteX[kBannerSlot] = cx - w / 2;
    game.spriteY[kBannerSlot] = cy - h / 2;
    form->RedrawPieces(0);
    const QRect banner(game.spriteX[kBannerSlot], game.spriteY[kBannerSlot], std::max(w, 1), h);
    for (int x = 1; x <= 8; ++x) {
      for (int px = game.SquareLeft(x) + kBodyFrom; px < game.SquareLeft(x) + kBodyTo; px += 3) {
        for (int py = game.SquareTop(5) + kBodyFrom; py < game.SquareTop(5) + kBodyTo; py += 3) {
          const QColor expected = banner.contains(px, py) ? bannerColour : pawn;
          ASSERT_EQ(PixelAt(form->windowBuffer, px, py), expected)
              << "banner " << w << " wide, at " << px << "," << py;
        }
      }
    }
  }

  // The banner's end: a 2 x 2 picture parked far outside the board.
  form->bannerFrame = QImage(2, 2, QImage::Format_RGB32);
  game.spriteX[kBannerSlot] = 1000;
  game.spriteY[kBannerSlot] = 1000;
  form->RedrawPieces(0);
  EXPECT_EQ(BoardArea(form->windowBuffer), before);
}

// Rank and file labels in the layout with coordinates: drawn where the
// labels of `topRank` and `leftFile` belong, and nothing else there.
struct TLabelCase {
  const char* name;
  std::uint8_t localColour;
  const char* topRank;
  const char* leftFile;
};

class CoordinateLabelTest : public DrawingTest, public ::testing::WithParamInterface<TLabelCase> {
 protected:
  // The window strip of one label drawn alone on the window colour.
  QImage LabelAlone(const QRect& strip, int x, int y, const QString& text) const {
    QImage alone = MakeSurface(form->width(), form->height(), clPanelFace);
    QPainter painter(&alone);
    painter.setFont(WindowFont(true));
    painter.setPen(Qt::black);
    TextOutAt(painter, x, y, text);
    return alone.copy(strip);
  }
};

TEST_P(CoordinateLabelTest, TopRankAndLeftFileReadForTheLocalColour) {
  const TLabelCase& row = GetParam();
  Open(row.localColour, "[Options]\r\nDrawHV=1\r\n");
  // Drawn many times over (after every move), the labels stay the same.
  for (int i = 0; i < 3; ++i) form->DrawWindowFrame(0);
  const TGame& game = form->game;
  const QFont bold = WindowFont(true);
  const int th = TextHeight(bold);

  // Right of the frame line, left of the board.
  const QRect rankStrip(2, game.boardTop + 5, game.boardLeft - 2, 60);
  const int rankY = game.boardTop + 30 + 5 - th / 2;
  const auto rankX = [&](const QString& text) { return game.boardLeft / 2 - TextWidth(bold, text) / 2; };
  const QString rank = QString::fromLatin1(row.topRank);
  const QString otherRank = rank == "1" ? "8" : "1";
  const QImage shownRank = form->windowBuffer.copy(rankStrip);
  EXPECT_EQ(shownRank, LabelAlone(rankStrip, rankX(rank), rankY, rank));
  EXPECT_NE(shownRank, LabelAlone(rankStrip, rankX(otherRank), rankY, otherRank));

  const QRect fileStrip(game.boardLeft + 5, game.boardTop + game.boardHeight + 1, 60, th + 2);
  const int fileY = game.boardTop + game.boardHeight + 2;
  const auto fileX = [&](const QString& text) {
    return game.boardLeft + 30 + 5 - TextWidth(bold, text) / 2;
  };
  const QString file = QString::fromLatin1(row.leftFile);
  const QString otherFile = file == "a" ? "h" : "a";
  const QImage shownFile = form->windowBuffer.copy(fileStrip);
  EXPECT_EQ(shownFile, LabelAlone(fileStrip, fileX(file), fileY, file));
  EXPECT_NE(shownFile, LabelAlone(fileStrip, fileX(otherFile), fileY, otherFile));
}

INSTANTIATE_TEST_SUITE_P(Colours, CoordinateLabelTest,
                         ::testing::Values(TLabelCase{"White", 0, "8", "a"},
                                           TLabelCase{"Black", 1, "1", "h"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawingTest, FrameLineRunsOnePixelInsideTheWindowEdge) {
  Open(0);
  const QImage& window = form->windowBuffer;
  const int w = form->width();
  const int h = form->height();
  const QColor border = ToQColor(clPanelBorder);
  for (const QPoint& p : {QPoint(1, 1), QPoint(w / 2, 1), QPoint(w - 2, h / 2), QPoint(w - 2, h - 2),
                          QPoint(w / 3, h - 2), QPoint(1, h / 3)})
    EXPECT_EQ(PixelAt(window, p.x(), p.y()), border) << p.x() << "," << p.y();
  EXPECT_EQ(PixelAt(window, 0, 0), ToQColor(clPanelFace));
  EXPECT_EQ(PixelAt(window, 2, 2), ToQColor(clPanelFace));
}

TEST_F(DrawingTest, MenuCaptionTakesItsColourInBothModes) {
  Open(0);
  TScreenButton& options = form->screen.screenButtons[btnOptions];
  const QRect face(options.left + 1, options.top + 1, kButtonWidth - 2, kButtonHeight - 2);
  // Text is antialiased: count the pixels that are mostly the colour.
  const auto count = [&](const std::function<bool(const QColor&)>& like) {
    int n = 0;
    const QImage area = form->windowBuffer.copy(face);
    for (int y = 0; y < area.height(); ++y)
      for (int x = 0; x < area.width(); ++x) n += like(PixelAt(area, x, y));
    return n;
  };
  const auto blackish = [](const QColor& c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; };
  const auto blueish = [](const QColor& c) { return c.blue() > 160 && c.red() < 110 && c.green() < 110; };
  EXPECT_GT(count(blackish), 10);
  EXPECT_EQ(count(blueish), 0);
  options.textColour = clBlue;
  form->DrawWindowFrame(1);
  EXPECT_GT(count(blueish), 10);
  EXPECT_EQ(count(blackish), 0);  // no trace of the black caption
}

}  // namespace
}  // namespace zervik::test
