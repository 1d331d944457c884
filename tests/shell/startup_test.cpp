// Start-up and shut-down of the main window, its controls, the record
// panel and the promotion chooser.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include "platform/ini_file.h"
#include "protocol/screen_state.h"
#include "shell/form1.h"
#include "shell_fixture.h"

namespace zervik::test {
namespace {

class TCountingPanel : public IDialogPanel {
 public:
  void OpenDialogPanel() override { ++opened; }
  void PaintDialogPanel(bool) override { ++painted; }
  void CentreDialogTexts() override {}
  void HideDialogFields() override {}
  void VanishPanel() override {}
  int opened = 0;
  int painted = 0;
};

TEST(StartUpTest, WithoutIniFileTheDefaultsApplyAndExitWritesAllNineKeys) {
  TSkinFixture skins;
  skins.AddDefaults();
  {
    auto form = skins.MakeForm();
    EXPECT_EQ(form->settings, TSettings{});
  }
  const TIniFile ini(skins.Path("zervik.INI").toStdString());
  const TSettings defaults;
  EXPECT_EQ(ini.ReadString("Options", "Figures", "?"), defaults.pieceSetName);
  EXPECT_EQ(ini.ReadString("Options", "Board", "?"), defaults.boardName);
  EXPECT_EQ(ini.ReadString("Options", "DrawHV", "?"), "0");
  EXPECT_EQ(ini.ReadString("Options", "ModemPulse", "?"), "1");
  EXPECT_EQ(ini.ReadString("Options", "ModemPort", "?"), "0");
  EXPECT_EQ(ini.ReadString("Options", "LANPort", "?"), "2804");
  for (const char* key : {"Name", "Server_ip", "DefaultNumber"})
    EXPECT_EQ(ini.ReadString("Player", key, "?"), "") << key;
}

TEST(StartUpTest, AFailedWriteAtExitShowsTheErrorBox) {
  TSkinFixture skins;
  skins.AddDefaults();
  TForm1Options options;
  const std::string iniPath = skins.Path("no/such/folder/zervik.INI").toStdString();
  options.iniPath = iniPath;
  options.skinRoot = skins.Root();
  options.bitmapPrefix = skins.Path("bitmaps/");
  std::vector<QString> errors;
  options.showError = [&errors](const QString& message) { errors.push_back(message); };
  TForm1 form(options);
  EXPECT_FALSE(form.FormDestroy());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors.front(), QString::fromStdString("Unable to write to " + iniPath));
}

TEST(StartUpTest, WindowAndControlsStandWhereTheyBelong) {
  TSkinFixture skins;
  skins.AddDefaults();
  auto form = skins.MakeForm();
  EXPECT_EQ(form->windowTitle(), "Zervik");
  EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form->size(), QSize(715, 508));
  EXPECT_EQ(PixelAt(form->windowBuffer, 600, 150), QColor(236, 233, 216));
  EXPECT_EQ(form->buttonWidth, 200);
  EXPECT_EQ(form->buttonHeight, 25);

  EXPECT_TRUE(form->mchat->isReadOnly());
  EXPECT_FALSE(form->mchat->acceptRichText());
  EXPECT_FALSE(form->mchat->isEnabled());
  EXPECT_FALSE(form->echat->isEnabled());
  EXPECT_TRUE(form->eip->isHidden());
  EXPECT_EQ(form->eip->height(), 18);
  EXPECT_TRUE(form->ccomport->isHidden());
  ASSERT_EQ(form->ccomport->count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(form->ccomport->itemText(i), QString("COM%1").arg(i + 1));
  EXPECT_TRUE(form->pmes->isHidden());
  EXPECT_FALSE(form->activatedOnce);
}

TEST(StartUpTest, FirstActivationBuildsTheBoardAndOpensTheFirstScreenOnce) {
  TSkinFixture skins;
  skins.AddDefaults();
  auto form = skins.MakeForm();
  TCountingPanel panel;
  form->seams.dialogPanel = &panel;
  int socketsClosed = 0;
  form->seams.closeLanSockets = [&socketsClosed] { ++socketsClosed; };
  form->screen.screenState = ssPlayerSetup;

  form->show();
  EXPECT_EQ(panel.opened, 1);
  EXPECT_EQ(form->screen.screenState, ssMainMenu);
  EXPECT_TRUE(form->activatedOnce);
  // The bare board is on the window.
  EXPECT_EQ(PixelAt(form->windowBuffer, form->game.SquareLeft(1) + 2, form->game.SquareTop(1) + 2),
            kDarkSquare);
  form->hide();
  form->show();
  EXPECT_EQ(panel.opened, 1);

  form->close();
  EXPECT_EQ(socketsClosed, 1);
}

TEST(StartUpTest, TheClockSeedsTheGenerator) {
  TSkinFixture skins;
  skins.AddDefaults();
  auto first = skins.MakeForm();
  auto second = skins.MakeForm();
  EXPECT_EQ(first->random(), second->random());  // both seeded with second 1
  std::mt19937 fromOne(1);
  EXPECT_EQ(first->random(), (fromOne(), fromOne()));
}

TEST(RecordPanelTest, LinesArePlainTextInTheirColours) {
  TSkinFixture skins;
  skins.AddDefaults();
  auto form = skins.MakeForm();
  EXPECT_EQ(form->LineCount(), 0);
  form->SetSelectionColour(clNavy);
  form->AddLine("<b>Иван</b>: &amp; привет");
  form->SetSelectionColour(clBlack);
  form->AddLine("");
  form->AddLine("1. e2-e4");
  ASSERT_EQ(form->LineCount(), 3);
  EXPECT_EQ(form->Line(0), "<b>Иван</b>: &amp; привет");
  EXPECT_EQ(form->Line(1), "");
  EXPECT_EQ(form->LineColour(0), clNavy);
  EXPECT_EQ(form->LineColour(2), clBlack);

  form->ReplaceLine(0, "<i>Пётр</i>");
  EXPECT_EQ(form->Line(0), "<i>Пётр</i>");
  EXPECT_EQ(form->LineColour(0), clNavy);
  EXPECT_EQ(form->LineCount(), 3);
  EXPECT_EQ(form->mchat->toPlainText(), "<i>Пётр</i>\n\n1. e2-e4");

  // Line breaks inside a text never make extra lines.
  form->AddLine("Иван: раз\nдва\r\nтри");
  form->ReplaceLine(1, "a\nb");
  EXPECT_EQ(form->LineCount(), 4);
  EXPECT_EQ(form->Line(3), "Иван: раз два  три");
  EXPECT_EQ(form->Line(1), "a b");
}

TEST(PromotionChooserTest, ShowsTheFourOwnPiecesAndAPickFinishesTheMove) {
  TSkinFixture skins;
  skins.AddDefaults();
  auto form = skins.MakeForm();
  form->seams.coloursChosen = [] { return true; };
  form->game.localColour = 1;
  form->show();
  form->game.StartNewGame();

  // A black pawn of the local player waits on row 8 for its piece.
  TGame& game = form->game;
  game.promotionPending = true;
  game.activeSprite = 9;
  game.promoFromX = 8, game.promoFromY = 7, game.promoToX = 8, game.promoToY = 8;
  form->ShowPromotionChooser();

  EXPECT_FALSE(form->pmes->isHidden());
  EXPECT_EQ(form->pmes->geometry(), QRect(9 + 245 - 132, 9 + 245 - 35, 265, 70));
  EXPECT_EQ(form->ican->size(), QSize(265, 70));
  // Queen, rook, bishop and knight of black, the local colour.
  const std::array<std::pair<int, int>, 4> places = {{{5, 9}, {70, 6}, {135, 8}, {200, 7}}};
  for (const auto& [x, file] : places)
    EXPECT_EQ(PixelAt(form->icanPicture, x + 30, 5 + 30), PieceBody(1, file)) << "at " << x;
  EXPECT_EQ(PixelAt(form->icanPicture, 2, 2), ToQColor(clPanelFace));

  QTest::mouseClick(form->ican, Qt::RightButton, {}, QPoint(100, 35));  // the rook, any button
  EXPECT_EQ(game.spriteCode[9], pcRook);
  EXPECT_TRUE(form->pmes->isHidden());
}

}  // namespace
}  // namespace zervik::test
