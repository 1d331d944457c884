// zervik-artgen: draws the piece sets, boards and window bitmaps and
// synthesizes the sounds.
//
//   zervik-artgen --out <resources folder> [--sheet <contact sheet.png>]
//
// Writes <out>/skins/{Figures,Boards,Sounds} and <out>/bitmaps. The output
// depends on nothing but this program and the two font packages
// (fonts-freefont-ttf, fonts-dejavu-core), so a run reproduces the committed
// files byte for byte.

#include <QDir>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

#include "art_files.h"
#include "boards.h"
#include "contact_sheet.h"
#include "fonts.h"
#include "pieces.h"
#include "quantize.h"
#include "sounds.h"
#include "ui_bitmaps.h"

namespace {

int Fail(const QString& message) {
  std::fprintf(stderr, "zervik-artgen: %s\n", qPrintable(message));
  return 1;
}

bool Bmp(const QString& path, const QImage& img, std::optional<QRgb> keep = std::nullopt) {
  if (!WriteBmp8(path, img, keep)) return false;
  std::printf("%s\n", qPrintable(path));
  return true;
}

QImage ReadBack(const QString& path) {
  QImage img(path);
  if (img.isNull())
    std::fprintf(stderr, "zervik-artgen: %s does not read back\n", qPrintable(path));
  return img.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application but no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QString out, sheetPath;
  const QStringList args = app.arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == "--out" && i + 1 < args.size())
      out = args[++i];
    else if (args[i] == "--sheet" && i + 1 < args.size())
      sheetPath = args[++i];
    else
      return Fail("usage: zervik-artgen --out <resources folder> [--sheet <file.png>]");
  }
  if (out.isEmpty())
    return Fail("usage: zervik-artgen --out <resources folder> [--sheet <file.png>]");

  const QDir root(out);
  const QString figures = root.filePath("skins/Figures"), boardsDir = root.filePath("skins/Boards");
  const QString soundsDir = root.filePath("skins/Sounds"), bitmaps = root.filePath("bitmaps");

  auto classic = DrawClassicSet();
  if (!classic)
    return Fail(QString("cannot read %1 (package fonts-freefont-ttf)").arg(kFreeSerifFile));
  const std::vector<TPieceSet> sets{*classic, DrawModernSet()};
  for (const TPieceSet& set : sets) {
    const QString dir = QDir(figures).filePath(set.name);
    if (!QDir().mkpath(dir)) return Fail("cannot create " + dir);
    for (size_t i = 0; i < kPieceFiles.size(); ++i)
      if (!Bmp(QDir(dir).filePath(kPieceFiles[i]), set.pictures[i], set.key))
        return Fail("cannot write " + QDir(dir).filePath(kPieceFiles[i]));
  }

  const std::vector<TBoard> boards = DrawBoards();
  if (!QDir().mkpath(boardsDir)) return Fail("cannot create " + boardsDir);
  for (const TBoard& board : boards)
    if (!Bmp(QDir(boardsDir).filePath(board.name + ".bmp"), board.picture))
      return Fail("cannot write board " + board.name);

  if (!QDir().mkpath(soundsDir)) return Fail("cannot create " + soundsDir);
  for (const auto& [name, samples] : {std::pair{"movesound.wav", SynthMoveSound()},
                                      std::pair{"chatsound.wav", SynthChatSound()}}) {
    const QString path = QDir(soundsDir).filePath(name);
    if (!WriteWav16(path, samples, kSoundRate)) return Fail("cannot write " + path);
    std::printf("%s\n", qPrintable(path));
  }

  if (!QDir().mkpath(bitmaps)) return Fail("cannot create " + bitmaps);
  const QImage button = DrawButtonFace(), checkBox = DrawCheckBoxStrip(),
               switchGlyph = DrawSwitchGlyph();
  const auto logo = DrawLogo(sets[0]);
  if (!logo)
    return Fail(QString("cannot read %1 (package fonts-freefont-ttf)").arg(kFreeSerifBoldFile));
  if (!Bmp(QDir(bitmaps).filePath("101.bmp"), button) ||
      !Bmp(QDir(bitmaps).filePath("102.bmp"), checkBox) ||
      !Bmp(QDir(bitmaps).filePath("103.bmp"), switchGlyph) ||
      !Bmp(QDir(bitmaps).filePath("logo.bmp"), *logo))
    return Fail("cannot write the bitmaps in " + bitmaps);

  if (!sheetPath.isEmpty()) {
    // The sheet shows the files as written, read back the way the program
    // reads them, palette reduction included.
    std::vector<TPieceSet> writtenSets = sets;
    for (TPieceSet& set : writtenSets)
      for (size_t i = 0; i < kPieceFiles.size(); ++i)
        set.pictures[i] = ReadBack(QDir(QDir(figures).filePath(set.name)).filePath(kPieceFiles[i]));
    std::vector<TBoard> writtenBoards = boards;
    for (TBoard& board : writtenBoards)
      board.picture = ReadBack(QDir(boardsDir).filePath(board.name + ".bmp"));
    const QImage sheet = DrawContactSheet(
        writtenSets, writtenBoards, ReadBack(QDir(bitmaps).filePath("101.bmp")),
        ReadBack(QDir(bitmaps).filePath("102.bmp")), ReadBack(QDir(bitmaps).filePath("103.bmp")),
        ReadBack(QDir(bitmaps).filePath("logo.bmp")));
    // Reduced to a palette like the art itself: a third of the size, and
    // the same bytes on every run.
    const TPalettedImage reduced = Quantize(sheet, std::nullopt);
    QImage indexed(reduced.width, reduced.height, QImage::Format_Indexed8);
    indexed.setColorTable(QList<QRgb>(reduced.palette.begin(), reduced.palette.end()));
    for (int y = 0; y < reduced.height; ++y)
      std::copy_n(&reduced.indices[static_cast<size_t>(y) * reduced.width], reduced.width,
                  indexed.scanLine(y));
    if (!indexed.save(sheetPath, "PNG")) return Fail("cannot write " + sheetPath);
  }
  return 0;
}
