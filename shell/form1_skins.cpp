// Loading the chosen board and piece set.
#include "shell/form1.h"

namespace zervik {

void TForm1::LoadSkin() { LoadSkinChecked(); }

bool TForm1::LoadSkinChecked() {
  // The label strips are drawn afresh, in the order of the current colour.
  if (settings.drawCoordinates) {
    FillArea(windowBuffer, kRankStrip, clPanelFace);
    FillArea(windowBuffer, kFileStrip, clPanelFace);
    DrawWindowFrame(0);
  }

  if (!LoadPicture(TSkinFolders::BoardPath(QString::fromStdString(settings.boardName)), boardBitmap))
    return false;
  CreateBoardCanvases();

  if (ColoursChosen()) {
    const QString set = QString::fromStdString(settings.pieceSetName);
    for (int slot = 0; slot < kPieceSlots; ++slot) {
      QImage picture;
      // A failure stops at this file: the slots before it are replaced.
      if (!LoadPicture(TSkinFolders::PiecePath(set, PieceFileForSlot(slot, game.localColour)),
                       picture))
        return false;
      pieceBitmaps[slot].Assign(picture);
    }
  }

  RedrawPieces(1);

  // An open panel must later uncover the new board, not the old one.
  if (screen.panelShown) {
    const int w = static_cast<int>(panelWidth);
    const int h = static_cast<int>(panelHeight);
    panelBackground = boardCanvas.copy(panelRect.left, panelRect.top, w, h);
  }
  return true;
}

}  // namespace zervik
