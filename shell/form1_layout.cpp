// The two layouts: without coordinates the board sits 9 pixels from the
// window's left edge; with them it moves 11 pixels right and the window
// grows 11 pixels each way for the rank and file labels.
#include "shell/form1.h"

#include <QTextEdit>

namespace zervik {

void TForm1::ApplyLayout() {
  const int L = settings.drawCoordinates ? kBoardLeftWithCoordinates : kBoardLeftPlain;
  const int d = L - game.boardLeft;

  // Everything placed in window coordinates moves with the board.
  panelRect.left += d;
  panelRect.right += d;
  for (int k = 1; k <= kSpriteCount; ++k) game.spriteX[k] += d;
  // A received move in flight keeps flying, to its shifted square.
  game.animStartX += d;
  game.animTargetX += d;
  game.animPosX += static_cast<float>(d);
  game.rookStartX += d;
  game.rookTargetX += d;
  game.rookPosX += static_cast<float>(d);

  game.boardLeft = L;
  const int margin = settings.drawCoordinates ? kCoordinatesMargin : 0;
  SetClientSize(kClientWidth + margin, kClientHeight + margin);
  PlaceChatControls(game.boardLeft + kMenuOffset, kChatHeightPlain + margin);
  for (int i = btnNewGame; i <= btnDraw; ++i)
    screen.screenButtons[i].left =
        settings.drawCoordinates ? mchat->x() : game.boardLeft + kMenuOffset;

  FillArea(windowBuffer, TRect{0, 0, ClientWidth(), ClientHeight()}, clPanelFace);
  DrawWindowFrame(0);
  if (seams.dialogPanel) seams.dialogPanel->CentreDialogTexts();
}

}  // namespace zervik
