#pragma once
// The piece sets: twelve 60 x 60 pictures each, on a flat background colour
// that the program treats as transparent (it reads it from the bottom-left
// pixel), so nothing inside a piece may have that colour.

#include <QImage>
#include <QString>
#include <array>
#include <optional>

inline constexpr int kPieceSize = 60;
inline constexpr int kPieceKinds =
    6;  // rook, knight, bishop, queen, king, pawn: the program's order
inline constexpr std::array<const char*, 2 * kPieceKinds> kPieceFiles = {
    "wrook.bmp", "wknight.bmp", "wbishop.bmp", "wqueen.bmp", "wking.bmp", "wpawn.bmp",
    "brook.bmp", "bknight.bmp", "bbishop.bmp", "bqueen.bmp", "bking.bmp", "bpawn.bmp"};

struct TPieceSet {
  QString name;
  QRgb key = 0;                                  // the transparent colour
  std::array<QImage, 2 * kPieceKinds> pictures;  // in kPieceFiles order
};

// Drawn from the chess glyphs of FreeSerif; empty when the font is missing.
std::optional<TPieceSet> DrawClassicSet();
// Flat geometric shapes drawn from scratch.
TPieceSet DrawModernSet();
