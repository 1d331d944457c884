#include "ui_bitmaps.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "fonts.h"

namespace {

QRgb Mix(QRgb a, QRgb b, double t) {
  return qRgb(static_cast<int>(qRed(a) + (qRed(b) - qRed(a)) * t + 0.5),
              static_cast<int>(qGreen(a) + (qGreen(b) - qGreen(a)) * t + 0.5),
              static_cast<int>(qBlue(a) + (qBlue(b) - qBlue(a)) * t + 0.5));
}

// Button face: slightly lighter than the window at the top, slightly darker at
// the bottom, a thin border in the frame colour with softened corners, so that
// buttons stacked without a gap still read as separate.
constexpr QRgb kButtonTop = qRgb(252, 251, 246);
constexpr QRgb kButtonBottom = qRgb(224, 220, 202);
constexpr QRgb kButtonShadow = qRgb(208, 203, 184);

// Check box: a white well with a slate border and a dark tick.
constexpr QRgb kCheckBorder = qRgb(84, 92, 108);
constexpr QRgb kCheckWellTop = qRgb(255, 255, 255);
constexpr QRgb kCheckWellBottom = qRgb(232, 230, 220);
constexpr QRgb kCheckTick = qRgb(26, 26, 26);

// The tick inside the 7 x 7 well.
// The glyphs are drawn row by row.
// clang-format off
constexpr const char* kTick[7] = {
    ".......",
    "......#",
    ".....##",
    "#...##.",
    "##.##..",
    ".###...",
    "..#....",
};

// Two arrows, right over left: the text beside it switches between two values.
constexpr const char* kSwitch[kSwitchHeight] = {
    "......#..",
    "......##.",
    "#########",
    "..#...##.",
    ".##...#..",
    "#########",
    ".##......",
    "..#......",
};
// clang-format on

constexpr QRgb kLogoInk = qRgb(64, 42, 26);
constexpr QRgb kLogoLight = qRgb(226, 193, 143);
constexpr QRgb kLogoDark = qRgb(146, 94, 58);
constexpr QRgb kLogoFrame = qRgb(92, 54, 30);
constexpr int kEmblemSquare = 19;
constexpr int kEmblemLeft = 8;
constexpr int kEmblemTop = 8;
constexpr double kLetteringPixels = 58;

}  // namespace

QImage DrawButtonFace() {
  QImage img(kButtonWidth, kButtonHeight, QImage::Format_RGB32);
  for (int y = 0; y < kButtonHeight; ++y)
    for (int x = 0; x < kButtonWidth; ++x) {
      const bool edgeX = x == 0 || x == kButtonWidth - 1, edgeY = y == 0 || y == kButtonHeight - 1;
      QRgb c;
      if (edgeX && edgeY)
        c = Mix(kPanelFace, kPanelBorder, 0.35);
      else if (edgeX || edgeY)
        c = kPanelBorder;
      else if (y == 1)
        c = qRgb(255, 255, 255);
      else if (y == kButtonHeight - 2)
        c = kButtonShadow;
      else
        c = Mix(kButtonTop, kButtonBottom, static_cast<double>(y - 1) / (kButtonHeight - 3));
      if (!edgeX && !edgeY && (x == 1 || x == kButtonWidth - 2) &&
          (y == 1 || y == kButtonHeight - 2))
        c = Mix(c, kPanelBorder, 0.5);  // inner corner: rounds the outline
      img.setPixel(x, y, c);
    }
  return img;
}

QImage DrawCheckBoxStrip() {
  QImage img(2 * kCheckGlyph, kCheckGlyph, QImage::Format_RGB32);
  for (int glyph = 0; glyph < 2; ++glyph) {
    const bool checked = glyph == 0;
    for (int y = 0; y < kCheckGlyph; ++y)
      for (int x = 0; x < kCheckGlyph; ++x) {
        QRgb c;
        if (x == 0 || y == 0 || x == kCheckGlyph - 1 || y == kCheckGlyph - 1) {
          c = kCheckBorder;
        } else {
          c = Mix(kCheckWellTop, kCheckWellBottom, static_cast<double>(y - 1) / (kCheckGlyph - 3));
          if (checked && kTick[y - 1][x - 1] == '#') c = kCheckTick;
        }
        img.setPixel(glyph * kCheckGlyph + x, y, c);
      }
  }
  return img;
}

QImage DrawSwitchGlyph() {
  QImage img(kSwitchWidth, kSwitchHeight, QImage::Format_RGB32);
  for (int y = 0; y < kSwitchHeight; ++y)
    for (int x = 0; x < kSwitchWidth; ++x)
      img.setPixel(x, y, kSwitch[y][x] == '#' ? qRgb(0, 0, 0) : kPanelFace);
  return img;
}

std::optional<QImage> DrawLogo(const TPieceSet& pieces) {
  const auto font = LoadFont(kFreeSerifBoldFile, kLetteringPixels);
  if (!font) return std::nullopt;
  QImage img(kLogoWidth, kLogoHeight, QImage::Format_RGB32);
  img.fill(kPanelFace);
  QPainter p(&img);

  // Emblem: a corner of a wooden board with the white knight on it.
  const int emblem = 4 * kEmblemSquare;
  p.fillRect(kEmblemLeft - 2, kEmblemTop - 2, emblem + 4, emblem + 4, QColor::fromRgb(kLogoFrame));
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      p.fillRect(kEmblemLeft + c * kEmblemSquare, kEmblemTop + r * kEmblemSquare, kEmblemSquare,
                 kEmblemSquare, QColor::fromRgb((r + c) % 2 == 0 ? kLogoLight : kLogoDark));
  const QImage& knight = pieces.pictures[1];
  const QRgb key = knight.pixel(0, kPieceSize - 1);
  const int kx = kEmblemLeft + (emblem - kPieceSize) / 2,
            ky = kEmblemTop + (emblem - kPieceSize) / 2 + 2;
  for (int y = 0; y < kPieceSize; ++y)
    for (int x = 0; x < kPieceSize; ++x)
      if (knight.pixel(x, y) != key) img.setPixel(kx + x, ky + y, knight.pixel(x, y));

  // Lettering, fitted into the room right of the emblem.
  const double left = kEmblemLeft + emblem + 14, right = kLogoWidth - 8;
  QPainterPath word = TextPath(*font, QStringLiteral("Zervik"), QPointF(0, 0));
  if (word.isEmpty()) return std::nullopt;
  const QRectF box = word.boundingRect();
  const double scale = std::min(1.0, (right - left) / box.width());
  QTransform t;
  t.translate(left, 60);
  t.scale(scale, scale);
  t.translate(-box.left(), 0);
  word = t.map(word);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.fillPath(word.translated(1.5, 1.5), QColor::fromRgb(Mix(kPanelFace, kLogoInk, 0.25)));
  p.fillPath(word, QColor::fromRgb(kLogoInk));

  // A rank of squares under the name.
  p.setRenderHint(QPainter::Antialiasing, false);
  const int stripTop = 70, cell = 8;
  const int cells = static_cast<int>((right - left) / cell);
  const int stripLeft = static_cast<int>(left + ((right - left) - cells * cell) / 2);
  p.fillRect(stripLeft - 1, stripTop - 1, cells * cell + 2, cell + 2, QColor::fromRgb(kLogoFrame));
  for (int i = 0; i < cells; ++i)
    p.fillRect(stripLeft + i * cell, stripTop, cell, cell,
               QColor::fromRgb(i % 2 == 0 ? kLogoLight : kLogoDark));
  p.end();
  return img;
}
