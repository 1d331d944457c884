#pragma once
// The boards: 490 x 490 pictures, a 5-pixel frame around 8 x 8 squares of
// 60 x 60 pixels, with the light square at the top left (a1 is dark for the
// white player, who sees a1 at the bottom left).

#include <QImage>
#include <QString>
#include <vector>

inline constexpr int kBoardSize = 490;
inline constexpr int kBoardMargin = 5;
inline constexpr int kSquareSize = 60;

struct TBoard {
  QString name;
  QImage picture;  // RGB32
};

// Wood (the default), Marble and Green.
std::vector<TBoard> DrawBoards();
