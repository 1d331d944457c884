// The skin chooser and About window.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "shell/form1.h"
#include "shell/form2.h"
#include "shell_fixture.h"

namespace zervik::test {
namespace {

class SkinWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skins.AddDefaults();
    skins.AddSet("Modern", 2);
    skins.AddBoard("Green.bmp", 1);
    form = skins.MakeForm("[Options]\r\nDrawHV=1\r\n");
    form->seams.coloursChosen = [] { return true; };
    form->show();
    form->game.StartNewGame();
    ASSERT_TRUE(skins.errors.empty());
    form2 = std::make_unique<TForm2>(*form);
    form->form2 = form2.get();
  }

  void Open(int mode) {
    form2->skinWindowMode = mode;
    form2->show();  // prepares the face; the program shows it modally
  }

  // A press in the middle of button i.
  void Press(int i) {
    const TForm2::TSkinButton& button = form2->buttons[i];
    form2->FormMouseDown(Qt::LeftButton, button.x + 100, button.y + 12);
  }

  void Choose(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.front());
  }

  QColor PreviewPiece(int i) const { return PixelAt(form2->piecePreviews[i].Image(), 30, 30); }

  TSkinFixture skins;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TForm2> form2;
};

TEST_F(SkinWindowTest, ChooserOpensWithTheCurrentChoicesAndPreviews) {
  Open(0);
  EXPECT_EQ(form2->size(), QSize(466, 320));
  EXPECT_TRUE(form2->drawCoordinatesChoice);
  EXPECT_EQ(form2->lb->currentItem()->text(), "Classic");
  EXPECT_EQ(form2->lb2->currentItem()->text(), "Wood");
  EXPECT_EQ(form2->buttons[0].caption, "ОК");
  EXPECT_EQ(form2->buttons[1].caption, "Отмена");
  EXPECT_EQ(form2->buttons[0].x, 133);
  // Black knight and pawn above, white knight and pawn below.
  EXPECT_EQ(PreviewPiece(0), PieceBody(1, 7));
  EXPECT_EQ(PreviewPiece(3), PieceBody(1, 5));

  // A set changes only the pieces, a board only the board.
  const QImage board = form2->boardPreview;
  Choose(form2->lb, "Modern");
  EXPECT_EQ(PreviewPiece(1), PieceBody(2, 11));
  EXPECT_EQ(form2->boardPreview, board);
  Choose(form2->lb2, "Green");
  EXPECT_EQ(form2->boardPreview, FixtureBoard(1).copy(5, 5, 120, 120));
  EXPECT_EQ(PreviewPiece(1), PieceBody(2, 11));
}

// As a user does it: a mouse click on an entry of each list.
TEST_F(SkinWindowTest, ClickingAnEntryShowsItsPreview) {
  Open(0);
  const auto click = [](QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.front()).center());
  };
  click(form2->lb, "Modern");
  EXPECT_EQ(form2->lb->currentItem()->text(), "Modern");
  EXPECT_EQ(PreviewPiece(0), PieceBody(2, 7));
  EXPECT_EQ(PreviewPiece(3), PieceBody(2, 5));
  click(form2->lb2, "Green");
  EXPECT_EQ(form2->boardPreview, FixtureBoard(1).copy(5, 5, 120, 120));
  EXPECT_EQ(PreviewPiece(0), PieceBody(2, 7));
}

TEST_F(SkinWindowTest, OkAppliesSetBoardAndCoordinates) {
  Open(0);
  Choose(form2->lb, "Modern");
  Choose(form2->lb2, "Green");
  form2->FormMouseDown(Qt::LeftButton, form2->checkBoxX + 5, 205);
  EXPECT_FALSE(form2->drawCoordinatesChoice);
  Press(0);

  EXPECT_FALSE(form2->isVisible());
  EXPECT_EQ(form->settings.pieceSetName, "Modern");
  EXPECT_EQ(form->settings.boardName, "Green");
  EXPECT_FALSE(form->settings.drawCoordinates);
  EXPECT_EQ(form->size(), QSize(715, 508));
  // The new board and the new pieces are on the window at once.
  const int kingX = form->game.SquareLeft(5);
  const int kingY = form->game.SquareTop(1);
  EXPECT_EQ(PixelAt(form->windowBuffer, kingX + 30, kingY + 30), PieceBody(2, 4));
  EXPECT_EQ(PixelAt(form->windowBuffer, kingX + 2, kingY + 2), PixelAt(FixtureBoard(1), 5 + 4 * 60 + 2, 5 + 7 * 60 + 2));
}

TEST_F(SkinWindowTest, CancelChangesNothing) {
  const TSettings settings = form->settings;
  const QImage window = form->windowBuffer.copy();
  Open(0);
  Choose(form2->lb, "Modern");
  Choose(form2->lb2, "Green");
  form2->FormMouseDown(Qt::LeftButton, form2->checkBoxX + 5, 205);
  Press(1);

  EXPECT_FALSE(form2->isVisible());
  EXPECT_EQ(form->settings, settings);
  EXPECT_EQ(form->windowBuffer, window);
  // Shown again, it starts from the stored choices.
  Open(0);
  EXPECT_TRUE(form2->drawCoordinatesChoice);
  EXPECT_EQ(form2->lb->currentItem()->text(), "Classic");
}

TEST_F(SkinWindowTest, OkWithABrokenSetKeepsTheWindowOpen) {
  skins.AddSet("Broken", 3);
  skins.Remove("Figures/Broken/wknight.bmp");
  Open(0);
  Choose(form2->lb, "Broken");
  skins.errors.clear();
  Press(0);
  ASSERT_EQ(skins.errors.size(), 1u);
  EXPECT_EQ(skins.errors.front(), "Cannot open file Figures/Broken/wknight.bmp");
  EXPECT_TRUE(form2->isVisible());
  EXPECT_EQ(form->settings.pieceSetName, "Broken");  // already stored
  Press(1);
  EXPECT_FALSE(form2->isVisible());
}

TEST_F(SkinWindowTest, AboutFaceHasOnlyOk) {
  Open(1);
  EXPECT_EQ(form2->size(), QSize(297, 300));
  EXPECT_TRUE(form2->Panel1->isVisibleTo(form2.get()));
  EXPECT_FALSE(form2->GroupBox1->isVisibleTo(form2.get()));
  EXPECT_TRUE(form2->buttons[0].enabled);
  EXPECT_FALSE(form2->buttons[1].enabled);
  QStringList texts;
  for (const QLabel* label : form2->Panel1->findChildren<QLabel*>()) texts << label->text();
  for (const char* text : {"Zervik 1.1", "Программа:", "Скины:", "Команда Zervik"})
    EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;

  // "Отмена" lies below the window and does nothing even when pressed.
  EXPECT_GT(form2->buttons[1].y, form2->height());
  Press(1);
  EXPECT_TRUE(form2->isVisible());
  // Hovering it colours nothing.
  form2->FormMouseMove(form2->buttons[1].x + 100, form2->buttons[1].y + 12);
  EXPECT_EQ(form2->buttons[1].colour, clBlack);
  Press(0);
  EXPECT_FALSE(form2->isVisible());
}

TEST_F(SkinWindowTest, HoverTurnsOnlyThatCaptionBlue) {
  Open(0);
  form2->FormMouseMove(form2->buttons[1].x + 50, form2->buttons[1].y + 5);
  EXPECT_EQ(form2->buttons[1].colour, clBlue);
  EXPECT_EQ(form2->buttons[0].colour, clBlack);
  form2->FormMouseMove(5, 5);
  EXPECT_EQ(form2->buttons[1].colour, clBlack);
}

TEST_F(SkinWindowTest, DragMovesTheWindowByTheMouse) {
  Open(1);
  const QPoint start = form2->pos();
  form2->FormMouseDown(Qt::LeftButton, 20, 20);  // on the logo's coordinates
  form2->FormMouseMove(35, 27);
  form2->FormMouseUp(Qt::LeftButton, 35, 27);
  form2->FormMouseMove(80, 80);
  EXPECT_EQ(form2->pos(), start + QPoint(15, 7));
}

TEST_F(SkinWindowTest, TimersKeepRunningWhileItIsModal) {
  int ticks = 0;
  form->timers.CreateTimer(tagLinkWatch, 5, [&ticks] { ++ticks; });
  // Once the timers have fired a few times under the modal loop, press "ОК".
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (ticks >= 3 && form2->isVisible()) Press(0);
  });
  poll.start(5);
  form->ShowSkinWindow(1);
  EXPECT_GE(ticks, 3);
  EXPECT_FALSE(form2->isVisible());
}

}  // namespace
}  // namespace zervik::test
