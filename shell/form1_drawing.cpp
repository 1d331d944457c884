// The off-screen board drawing and the window frame.
//
// Two surfaces hold the board: `backgroundCanvas` has the bare board and is
// the erase source, `boardCanvas` composes board, pieces, banner and panel.
// Both use window coordinates, so `boardRect` addresses the same pixels in
// them and in the window. The Windows version selected and realised the
// board picture's palette into both device contexts before each copy; a
// 32-bit surface has no palette, so those steps have no counterpart here.
#include <QPainter>
#include <cstdlib>

#include "shell/form1.h"

namespace zervik {

const TPiecePicture* TForm1::PictureOf(int code) const {
  if (code >= 1 && code <= 6) return &pieceBitmaps[code - 1];
  if (code <= -1 && code >= -6) return &pieceBitmaps[6 + (-code - 1)];
  return nullptr;
}

void TForm1::DrawPiece(QImage& surface, int code, int x, int y) const {
  const TPiecePicture* picture = PictureOf(code);
  if (!picture || picture->IsEmpty()) return;
  QPainter painter(&surface);
  picture->DrawAt(painter, x, y);
}

void TForm1::CopyBoardToWindow(const TRect& area) {
  CopyArea(windowBuffer, boardCanvas, area);
  update(area.ToQRect());
}

void TForm1::CreateBoardCanvases() {
  const int left = game.boardLeft;
  const int top = game.boardTop;
  boardCanvas = MakeSurface(left + kBoardArea, top + kBoardArea, clPanelFace);
  boardRect = TRect{left, top, left + kBoardArea, top + kBoardArea};
  backgroundCanvas = MakeSurface(ClientWidth(), ClientHeight(), clPanelFace);
  if (!boardBitmap.isNull()) {
    QPainter painter(&backgroundCanvas);
    painter.drawImage(left, top, boardBitmap);
  }
  CopyArea(boardCanvas, backgroundCanvas, boardRect);
  CopyBoardToWindow(boardRect);
}

void TForm1::RedrawPieces(int mode) {
  // The dialog panel covers the board: pieces and banner stay frozen.
  if (screen.panelShown) return;
  if (boardCanvas.isNull()) return;  // before the first activation

  const int sw = game.squareWidth;
  const int sh = game.squareHeight;

  // Erase every sprite that moved (or all of them) at its previous place.
  for (int i = 1; i <= kSpriteCount; ++i) {
    previousSpriteRects[i] = spriteRects[i];
    spriteRects[i] = TRect{game.spriteX[i], game.spriteY[i], game.spriteX[i] + sw,
                           game.spriteY[i] + sw};
    if (spriteRects[i] != previousSpriteRects[i] || mode == 1)
      CopyArea(boardCanvas, backgroundCanvas, previousSpriteRects[i]);
  }

  // The banner is slot 33.
  const int bannerWidth = bannerFrame.isNull() ? 0 : bannerFrame.width();
  const int bannerHeight = bannerFrame.isNull() ? 0 : bannerFrame.height();
  if (bannerActive) {
    previousSpriteRects[kBannerSlot] = spriteRects[kBannerSlot];
    const int bx = game.spriteX[kBannerSlot];
    const int by = game.spriteY[kBannerSlot];
    spriteRects[kBannerSlot] = TRect{bx, by, bx + bannerWidth, by + bannerHeight};
    if (spriteRects[kBannerSlot] != previousSpriteRects[kBannerSlot] || mode == 1)
      CopyArea(boardCanvas, backgroundCanvas, previousSpriteRects[kBannerSlot]);
  }

  const auto drawSprite = [this](int k) {
    if (k >= 1 && k <= kSpriteCount)
      DrawPiece(boardCanvas, game.spriteCode[k], game.spriteX[k], game.spriteY[k]);
  };

  const TRect& bannerNow = spriteRects[kBannerSlot];
  const TRect& bannerBefore = previousSpriteRects[kBannerSlot];
  const int bdx = std::abs(bannerBefore.left - bannerNow.left);
  const int bdy = std::abs(bannerBefore.top - bannerNow.top);
  const int bx = game.spriteX[kBannerSlot];
  const int by = game.spriteY[kBannerSlot];

  for (int i = 1; i <= kBannerSlot; ++i) {
    const bool changed = spriteRects[i] != previousSpriteRects[i];
    if (!changed && mode != 1) continue;
    if (mode == 0) {
      const int dx = std::abs(previousSpriteRects[i].left - spriteRects[i].left);
      const int dy = std::abs(previousSpriteRects[i].top - spriteRects[i].top);
      const int xi = game.spriteX[i];
      const int yi = game.spriteY[i];
      // Slot i in the banner's neighbourhood: every piece is drawn again.
      const bool nearBanner = bannerActive && xi >= bx - sw - bdx &&
                              xi + sw <= bx + bannerWidth + sw + bdx && yi >= by - sh - bdy &&
                              yi + sh <= by + bannerHeight + sh + bdy;
      for (int j = 1; j <= kSpriteCount; ++j) {
        if (j == i) continue;
        const bool touches = std::abs(game.spriteX[j] - xi) <= dx + sw &&
                             std::abs(game.spriteY[j] - yi) <= dy + sh;
        if (touches || nearBanner) drawSprite(j);
      }
    }
    drawSprite(i);
  }

  // The banner over every piece (a hidden one is parked outside the canvas).
  if (!bannerFrame.isNull()) {
    QPainter painter(&boardCanvas);
    painter.drawImage(bx, by, bannerFrame);
  }

  CopyBoardToWindow(boardRect);
}

void TForm1::DrawFrameLine(QPainter& painter) {
  painter.setPen(QPen(ToQColor(clPanelBorder), 0));
  painter.setBrush(Qt::NoBrush);
  const int w = ClientWidth();
  const int h = ClientHeight();
  const QPoint corners[4] = {{1, 1}, {w - 2, 1}, {w - 2, h - 2}, {1, h - 2}};
  painter.drawPolygon(corners, 4);
}

void TForm1::DrawCoordinateLabels(QPainter& painter) {
  // The strips are cleared first: antialiased text painted over itself
  // grows darker each time, and the frame is drawn after every move.
  painter.fillRect(kRankStrip.ToQRect(), ToQColor(clPanelFace));
  painter.fillRect(kFileStrip.ToQRect(), ToQColor(clPanelFace));
  const QFont bold = WindowFont(true);
  painter.setFont(bold);
  painter.setPen(ToQColor(clBlack));
  const bool white = game.localColour == 0;
  const int th = TextHeight(bold);
  for (int i = 0; i < 8; ++i) {
    const QString text = QString::number(white ? 8 - i : i + 1);
    const int x = game.boardLeft / 2 - TextWidth(bold, text) / 2;
    const int y = game.boardTop + i * game.squareHeight + game.squareHeight / 2 + kBoardMargin - th / 2;
    TextOutAt(painter, x, y, text);
  }
  const QString letters = QString::fromStdString(game.fileLetters);
  for (int j = 0; j < 8 && letters.size() == 8; ++j) {
    const QString text = letters.mid(white ? j : 7 - j, 1);
    const int x = game.boardLeft + j * game.squareWidth + game.squareWidth / 2 + kBoardMargin -
                  TextWidth(bold, text) / 2;
    const int y = game.boardTop + game.boardHeight + 2;
    TextOutAt(painter, x, y, text);
  }
  painter.setFont(windowFont);
}

void TForm1::DrawMenuBar(QPainter& painter) {
  painter.setFont(windowFont);
  const int th = TextHeight(windowFont);
  for (int i = btnNewGame; i <= btnDraw; ++i) {
    const TScreenButton& button = screen.screenButtons[i];
    // The face goes under the caption in both modes: antialiased text
    // painted over itself in another colour would keep a fringe of the old.
    if (!buttonBitmap.isNull()) painter.drawImage(button.left, button.top, buttonBitmap);
    const QString caption = QString::fromStdString(button.caption);
    painter.setPen(ToQColor(button.textColour));
    TextOutAt(painter, button.left + buttonWidth / 2 - TextWidth(windowFont, caption) / 2,
              button.top + buttonHeight / 2 - th / 2, caption);
  }
}

void TForm1::DrawWindowFrame(int mode) {
  {
    QPainter painter(&windowBuffer);
    if (mode == 0) {
      DrawFrameLine(painter);
      if (settings.drawCoordinates) DrawCoordinateLabels(painter);
    }
    DrawMenuBar(painter);
  }
  update();
}

}  // namespace zervik
