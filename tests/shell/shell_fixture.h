// What the window tests share: one QApplication on the offscreen platform,
// skin folders made of fixture bitmaps that each test writes itself, and a
// main window that reads them, with its error boxes caught.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "shell/form1.h"
#include "shell/skin_files.h"

namespace zervik::test {

inline QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "shell_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

// Fixture colours: every board square and every piece file has its own
// colour, so a pixel says exactly what was drawn there.
inline const QColor kMarginColour(20, 20, 20);
inline const QColor kLightSquare(230, 220, 200);
inline const QColor kDarkSquare(90, 70, 50);
inline const QColor kPieceKey(255, 0, 255);  // the transparent colour

// Colour of the body of piece file `fileIndex` (0-5 white rook..pawn,
// 6-11 black rook..pawn) in fixture set `setNumber`.
inline QColor PieceBody(int setNumber, int fileIndex) {
  return QColor(fileIndex < 6 ? 250 : 10, 20 * (fileIndex % 6) + 5, 40 * setNumber + 30);
}

// The body covers (10, 10)-(50, 50) of the 60 x 60 picture; the rest is
// the transparent key colour.
inline constexpr int kBodyFrom = 10;
inline constexpr int kBodyTo = 50;

inline QImage FixtureBoard(int variant = 0) {
  QImage board(490, 490, QImage::Format_RGB32);
  board.fill(kMarginColour);
  QPainter painter(&board);
  for (int c = 0; c < 8; ++c)
    for (int r = 0; r < 8; ++r)
      painter.fillRect(5 + 60 * c, 5 + 60 * r, 60, 60,
                       (c + r) % 2 == 0 ? kLightSquare.darker(100 + 10 * variant)
                                        : kDarkSquare.lighter(100 + 10 * variant));
  return board;
}

inline QImage FixturePiece(const QColor& body) {
  QImage piece(60, 60, QImage::Format_RGB32);
  piece.fill(kPieceKey);
  QPainter painter(&piece);
  painter.fillRect(kBodyFrom, kBodyFrom, kBodyTo - kBodyFrom, kBodyTo - kBodyFrom, body);
  return piece;
}

inline const std::vector<QString>& PieceFiles() {
  static const std::vector<QString> files = {
      "wrook.bmp", "wknight.bmp", "wbishop.bmp", "wqueen.bmp", "wking.bmp", "wpawn.bmp",
      "brook.bmp", "bknight.bmp", "bbishop.bmp", "bqueen.bmp", "bking.bmp", "bpawn.bmp"};
  return files;
}

class TSkinFixture {
 public:
  TSkinFixture() {
    TestApp();
    QDir(dir_.path()).mkpath(QStringLiteral("Figures"));
    QDir(dir_.path()).mkpath(QStringLiteral("Boards"));
    QDir(dir_.path()).mkpath(QStringLiteral("bitmaps"));
    WriteBitmaps();
  }

  QString Root() const { return dir_.path(); }
  QString Path(const QString& relative) const { return dir_.path() + "/" + relative; }

  void AddSet(const QString& name, int setNumber) {
    QDir(dir_.path()).mkpath("Figures/" + name);
    for (int i = 0; i < 12; ++i)
      FixturePiece(PieceBody(setNumber, i)).save(Path("Figures/" + name + "/" + PieceFiles()[i]), "BMP");
  }
  void AddBoard(const QString& fileName, int variant = 0) {
    FixtureBoard(variant).save(Path("Boards/" + fileName), "BMP");
  }
  void WriteText(const QString& relative, const QByteArray& bytes) {
    QFile file(Path(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  void Remove(const QString& relative) {
    QFileInfo info(Path(relative));
    if (info.isDir())
      QDir(Path(relative)).removeRecursively();
    else
      QFile::remove(Path(relative));
  }

  // The default skins: Classic (set 1) and Wood.
  void AddDefaults() {
    AddSet(QStringLiteral("Classic"), 1);
    AddBoard(QStringLiteral("Wood.bmp"));
  }

  // A main window on these folders with its INI file in the fixture folder.
  // Error boxes are collected in `errors`.
  std::unique_ptr<TForm1> MakeForm(const QByteArray& ini = {}) {
    if (!ini.isEmpty()) WriteText(QStringLiteral("zervik.INI"), ini);
    TForm1Options options;
    options.iniPath = Path(QStringLiteral("zervik.INI")).toStdString();
    options.skinRoot = Root();
    options.bitmapPrefix = Path(QStringLiteral("bitmaps/"));
    options.showError = [this](const QString& message) { errors.push_back(message); };
    options.clockSeconds = [] { return 1u; };
    return std::make_unique<TForm1>(options);
  }

  std::vector<QString> errors;

 private:
  void WriteBitmaps() {
    QImage button(200, 25, QImage::Format_RGB32);
    button.fill(QColor(245, 245, 240));
    QPainter(&button).drawRect(0, 0, 199, 24);
    button.save(Path("bitmaps/101.bmp"), "BMP");
    QImage boxes(18, 9, QImage::Format_RGB32);
    boxes.fill(Qt::white);
    QPainter(&boxes).fillRect(2, 2, 5, 5, Qt::black);  // the checked glyph on the left
    boxes.save(Path("bitmaps/102.bmp"), "BMP");
    QImage glyph(9, 8, QImage::Format_RGB32);
    glyph.fill(QColor(236, 233, 216));
    glyph.save(Path("bitmaps/103.bmp"), "BMP");
  }

  QTemporaryDir dir_;
};

inline QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Puts every sprite off the board (parked), so a test places only the ones
// it looks at.
inline void ParkAll(TGame& game) {
  for (int k = 1; k <= kSpriteCount; ++k) {
    game.spriteX[k] = game.boardLeft + game.boardWidth + 1;
    game.spriteY[k] = game.boardTop + 5;
    game.spriteCode[k] = 0;
  }
}

}  // namespace zervik::test
