#pragma once
// One picture that shows everything the generator drew, for a person to look
// at: every set on every board, the window's bitmaps enlarged.

#include <QImage>
#include <vector>

#include "boards.h"
#include "pieces.h"

QImage DrawContactSheet(const std::vector<TPieceSet>& sets, const std::vector<TBoard>& boards,
                        const QImage& button, const QImage& checkBox, const QImage& switchGlyph,
                        const QImage& logo);
