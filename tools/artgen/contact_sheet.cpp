#include "contact_sheet.h"

#include <QPainter>
#include <algorithm>

#include "fonts.h"
#include "ui_bitmaps.h"

namespace {

constexpr int kGap = 12;
constexpr int kLabel = 18;
constexpr int kPanelColumns = 6;
constexpr int kPanelRows = 4;

// Draws a piece the way the program does: its bottom-left colour left out.
void DrawPiece(QImage& target, const QImage& piece, int left, int top) {
  const QRgb key = piece.pixel(0, kPieceSize - 1);
  for (int y = 0; y < kPieceSize; ++y)
    for (int x = 0; x < kPieceSize; ++x)
      if (piece.pixel(x, y) != key && target.rect().contains(left + x, top + y))
        target.setPixel(left + x, top + y, piece.pixel(x, y));
}

void Label(QPainter& p, const QRawFont& font, const QString& text, QPointF at,
           QColor colour = Qt::black) {
  p.fillPath(TextPath(font, text, at), colour);
}

QImage Enlarged(const QImage& img, int factor) {
  return img.scaled(img.width() * factor, img.height() * factor, Qt::IgnoreAspectRatio,
                    Qt::FastTransformation);
}

QImage ButtonWithCaption(const QImage& face, const QRawFont& font, const QString& caption,
                         QColor colour) {
  QImage b = face.convertToFormat(QImage::Format_RGB32);
  QPainter p(&b);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double w = TextWidth(font, caption);
  Label(p, font, caption, QPointF(kButtonWidth / 2.0 - w / 2, 17), colour);
  return b;
}

}  // namespace

QImage DrawContactSheet(const std::vector<TPieceSet>& sets, const std::vector<TBoard>& boards,
                        const QImage& button, const QImage& checkBox, const QImage& switchGlyph,
                        const QImage& logo) {
  const int panelW = kBoardMargin + kPanelColumns * kSquareSize,
            panelH = kBoardMargin + kPanelRows * kSquareSize;
  const int cellW = panelW + kGap, cellH = panelH + kLabel + kGap;
  const int topH = kGap + static_cast<int>(sets.size()) * cellH;
  const int width = kGap + static_cast<int>(boards.size()) * cellW;
  const int height = topH + kBoardSize + kLabel + 2 * kGap;
  const int room = topH + 700;
  QImage sheet(width, room, QImage::Format_RGB32);
  sheet.fill(kPanelFace);
  const auto font = LoadFont(kDejaVuSansFile, 12);
  const auto bold = LoadFont(kDejaVuSansBoldFile, 12);
  if (!font || !bold) return sheet;

  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (size_t s = 0; s < sets.size(); ++s)
    for (size_t b = 0; b < boards.size(); ++b) {
      const int left = kGap + static_cast<int>(b) * cellW, top = kGap + static_cast<int>(s) * cellH;
      Label(p, *bold, sets[s].name + " / " + boards[b].name, QPointF(left, top + 13));
      const int boardTop = top + kLabel;
      p.drawImage(left, boardTop, boards[b].picture, 0, 0, panelW, panelH);
      // White pieces on the upper two rows, black below: every piece stands
      // once on a light and once on a dark square.
      for (int row = 0; row < kPanelRows; ++row)
        for (int k = 0; k < kPanelColumns; ++k)
          DrawPiece(sheet, sets[s].pictures[(row / 2) * kPieceKinds + k],
                    left + kBoardMargin + k * kSquareSize,
                    boardTop + kBoardMargin + row * kSquareSize);
    }

  // The default skin in the opening position.
  const int boardLeft = kGap, boardTop = topH + kLabel;
  Label(p, *bold, sets[0].name + " / " + boards[0].name + ", opening position",
        QPointF(boardLeft, topH + 13));
  p.drawImage(boardLeft, boardTop, boards[0].picture);
  constexpr int kBackRank[8] = {0, 1, 2, 3, 4, 2, 1, 0};
  for (int x = 0; x < 8; ++x) {
    const int sx = boardLeft + kBoardMargin + x * kSquareSize;
    auto at = [&](int row) { return boardTop + kBoardMargin + row * kSquareSize; };
    DrawPiece(sheet, sets[0].pictures[kPieceKinds + kBackRank[x]], sx, at(0));
    DrawPiece(sheet, sets[0].pictures[kPieceKinds + 5], sx, at(1));
    DrawPiece(sheet, sets[0].pictures[5], sx, at(6));
    DrawPiece(sheet, sets[0].pictures[kBackRank[x]], sx, at(7));
  }

  // The window's bitmaps: at their size and enlarged.
  const int x = boardLeft + kBoardSize + 2 * kGap;
  int y = topH + 13;
  Label(p, *bold, "101: button face, stacked as in the panel, and 2x", QPointF(x, y));
  y += 8;
  const QImage normal =
      ButtonWithCaption(button, *font, QString::fromUtf8("Новая игра"), Qt::black);
  const QImage hover =
      ButtonWithCaption(button, *font, QString::fromUtf8("Опции"), QColor(0, 0, 255));
  const QImage disabled =
      ButtonWithCaption(button, *font, QString::fromUtf8("Ничья"), QColor(192, 192, 192));
  p.drawImage(x, y, normal);
  p.drawImage(x, y + kButtonHeight, hover);
  p.drawImage(x, y + 2 * kButtonHeight, disabled);
  y += 3 * kButtonHeight + kGap;
  p.drawImage(x, y, Enlarged(normal, 2));
  y += 2 * kButtonHeight + kGap + 14;
  Label(p, *bold, "102: checked | unchecked, 1x and 8x", QPointF(x, y));
  Label(p, *bold, "103: switch, 1x and 8x", QPointF(x + 300, y));
  y += 8;
  p.drawImage(x, y, checkBox);
  p.drawImage(x + 30, y, Enlarged(checkBox, 8));
  p.drawImage(x + 300, y, switchGlyph);
  p.drawImage(x + 320, y, Enlarged(switchGlyph, 8));
  // The switch as the panel shows it: the glyph 5 pixels left of its text.
  Label(p, *font, QString::fromUtf8("Тоновый"), QPointF(x + 420 + kSwitchWidth + 5, y + 12));
  p.drawImage(x + 420, y + 2, switchGlyph);
  Label(p, *font, QString::fromUtf8("Импульсный"), QPointF(x + 420 + kSwitchWidth + 5, y + 40));
  p.drawImage(x + 420, y + 30, switchGlyph);
  y += 8 * kCheckGlyph + kGap + 14;
  Label(p, *bold, "logo, 1x and 2x", QPointF(x, y));
  y += 8;
  p.drawImage(x, y, logo);
  y += kLogoHeight + kGap;
  p.drawImage(x, y, Enlarged(logo, 2));
  y += 2 * kLogoHeight + kGap;
  p.end();
  return sheet.copy(0, 0, width, std::max(y, height));
}
