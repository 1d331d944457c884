// The skin folders: the start-up fallback, the catalogues, the slot files
// and the failures of a skin load.
#include <gtest/gtest.h>

#include <functional>

#include "platform/ini_file.h"
#include "shell/form1.h"
#include "shell/skin_files.h"
#include "shell_fixture.h"

namespace zervik::test {
namespace {

struct TFallbackCase {
  const char* name;
  std::function<void(TSkinFixture&)> folders;
  const char* ini;
  const char* expectedSet;
  const char* expectedBoard;
  const char* expectedError;  // "" when start-up shows none
};

class FallbackTest : public ::testing::TestWithParam<TFallbackCase> {};

TEST_P(FallbackTest, StartUpReplacesMissingNamesAndExitWritesThem) {
  const TFallbackCase& row = GetParam();
  TSkinFixture skins;
  row.folders(skins);
  {
    auto form = skins.MakeForm(row.ini);
    EXPECT_EQ(form->settings.pieceSetName, row.expectedSet);
    EXPECT_EQ(form->settings.boardName, row.expectedBoard);
    const QString expectedError = QString::fromUtf8(row.expectedError);
    if (expectedError.isEmpty()) {
      EXPECT_TRUE(skins.errors.empty()) << skins.errors.front().toStdString();
      EXPECT_FALSE(form->boardBitmap.isNull());
    } else {
      ASSERT_EQ(skins.errors.size(), 1u);
      EXPECT_EQ(skins.errors.front(), expectedError);
    }
  }
  const TIniFile ini(skins.Path("zervik.INI").toStdString());
  EXPECT_EQ(ini.ReadString("Options", "Figures", "?"), row.expectedSet);
  EXPECT_EQ(ini.ReadString("Options", "Board", "?"), row.expectedBoard);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FallbackTest,
    ::testing::Values(
        TFallbackCase{"BothExist",
                      [](TSkinFixture& s) {
                        s.AddDefaults();
                        s.AddSet("Modern", 2);
                      },
                      "", "Classic", "Wood", ""},
        TFallbackCase{"DeletedSetTakesTheLastSet",
                      [](TSkinFixture& s) {
                        s.AddSet("Beta", 2);
                        s.AddSet("Alpha", 1);
                        s.AddBoard("Wood.bmp");
                      },
                      "[Options]\r\nFigures=Gone\r\n", "Beta", "Wood", ""},
        TFallbackCase{"DeletedBoardTakesTheLastBoard",
                      [](TSkinFixture& s) {
                        s.AddSet("Classic", 1);
                        s.AddBoard("Marble.bmp");
                        s.AddBoard("Green.bmp");
                      },
                      "[Options]\r\nBoard=Wood\r\n", "Classic", "Marble", ""},
        TFallbackCase{"NothingAtAllKeepsTheNames", [](TSkinFixture&) {}, "", "Classic", "Wood",
                      "Cannot open file Boards/Wood.bmp"},
        TFallbackCase{"LetterCaseDiffersAsOnWindows",
                      [](TSkinFixture& s) {
                        s.AddSet("Classic", 1);
                        s.AddBoard("wood.BMP");
                      },
                      "[Options]\r\nFigures=classic\r\n", "classic", "Wood", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinCatalogueTest, NamesAreSortedAndBoardsLoseOnlyTheirExtension) {
  TSkinFixture skins;
  skins.AddBoard("Stone.BMP");
  skins.AddBoard("Dark.Wood.bmp");
  skins.AddBoard("Wood.bmp");
  skins.WriteText("Boards/readme.txt", "not a board");
  skins.AddSet("Zeta", 1);
  skins.AddSet("Classic", 2);
  skins.AddSet("Old.Set", 3);  // has an extension: not listed
  skins.WriteText("Figures/notes.txt", "not a set");

  const TSkinFolders folders(skins.Root());
  EXPECT_EQ(folders.Boards(), QStringList({"Dark.Wood", "Stone", "Wood"}));
  EXPECT_EQ(folders.PieceSets(), QStringList({"Classic", "Zeta"}));
  EXPECT_EQ(TSkinFolders(skins.Path("nowhere")).Boards(), QStringList());
}

TEST(SkinCatalogueTest, SlotFilesFollowTheLocalColour) {
  struct TRow {
    int slot;
    int localColour;
    const char* file;
  };
  for (const TRow& row : {TRow{0, 0, "wrook.bmp"}, TRow{5, 0, "wpawn.bmp"}, TRow{6, 0, "brook.bmp"},
                          TRow{11, 0, "bpawn.bmp"}, TRow{0, 1, "brook.bmp"}, TRow{4, 1, "bking.bmp"},
                          TRow{6, 1, "wrook.bmp"}, TRow{9, 1, "wqueen.bmp"}})
    EXPECT_EQ(PieceFileForSlot(row.slot, row.localColour), QString::fromLatin1(row.file))
        << "slot " << row.slot << " colour " << row.localColour;
  EXPECT_EQ(TSkinFolders::PiecePath("My\\Set", "wrook.bmp"), "Figures/My/Set/wrook.bmp");
}

// A skin load with something broken: the error names it, the load stops at
// that file and what was loaded before it stays replaced.
struct TLoadFailureCase {
  const char* name;
  std::function<void(TSkinFixture&)> breakIt;
  const char* set;
  const char* board;
  const char* expectedError;
  int replacedSlots;  // slots that show the new set afterwards
};

class LoadFailureTest : public ::testing::TestWithParam<TLoadFailureCase> {};

TEST_P(LoadFailureTest, ErrorStopsTheLoadAtThatFile) {
  const TLoadFailureCase& row = GetParam();
  TSkinFixture skins;
  skins.AddDefaults();
  skins.AddSet("Broken", 2);
  auto form = skins.MakeForm();
  form->seams.coloursChosen = [] { return true; };
  form->show();
  ASSERT_TRUE(form->LoadSkinChecked());
  row.breakIt(skins);

  form->settings.pieceSetName = row.set;
  form->settings.boardName = row.board;
  EXPECT_FALSE(form->LoadSkinChecked());
  ASSERT_EQ(skins.errors.size(), 1u);
  EXPECT_EQ(skins.errors.front(), QString::fromUtf8(row.expectedError));
  for (int slot = 0; slot < kPieceSlots; ++slot)
    EXPECT_EQ(PixelAt(form->pieceBitmaps[slot].Image(), 30, 30), PieceBody(slot < row.replacedSlots ? 2 : 1, slot))
        << "slot " << slot;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadFailureTest,
    ::testing::Values(
        TLoadFailureCase{"MissingPiece", [](TSkinFixture& s) { s.Remove("Figures/Broken/wqueen.bmp"); },
                         "Broken", "Wood", "Cannot open file Figures/Broken/wqueen.bmp", 3},
        TLoadFailureCase{"PieceNotABitmap",
                         [](TSkinFixture& s) { s.WriteText("Figures/Broken/brook.bmp", "GIF89a..."); },
                         "Broken", "Wood", "Bitmap image is not valid", 6},
        TLoadFailureCase{"MissingBoard", [](TSkinFixture&) {}, "Broken", "Gone",
                         "Cannot open file Boards/Gone.bmp", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinLoadTest, BeforeTheColoursAreKnownOnlyTheBoardIsLoaded) {
  TSkinFixture skins;
  skins.AddDefaults();
  skins.AddBoard("Green.bmp", 1);
  auto form = skins.MakeForm();
  form->show();
  form->settings.boardName = "Green";
  ASSERT_TRUE(form->LoadSkinChecked());
  EXPECT_TRUE(skins.errors.empty());
  EXPECT_EQ(form->boardBitmap, FixtureBoard(1).convertToFormat(QImage::Format_RGB32));
  for (const TPiecePicture& picture : form->pieceBitmaps) EXPECT_TRUE(picture.IsEmpty());
}

}  // namespace
}  // namespace zervik::test
