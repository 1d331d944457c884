#include "screens/menu_bar.h"

#include <QMessageBox>

#include "links/lan_link.h"
#include "protocol/match.h"
#include "screens/dialog_panel.h"
#include "shell/form1.h"

namespace zervik {

TMenuBar::TMenuBar(TForm1& form, TMatch& match, TDialogPanel& panel, TLanLink* lan)
    : form(form), match(match), panel(panel), lan(lan) {
  askExitQuestion = [&form] {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromUtf8(kExitQuestion),
                    QMessageBox::Yes | QMessageBox::No, &form);
    return box.exec() == QMessageBox::Yes;
  };
  closeWindow = [&form] { form.close(); };
}

bool TMenuBar::ButtonAt(int i, int X, int Y) const {
  const TScreenButton& button = form.screen.screenButtons[i];
  return button.left < X && X < button.left + form.buttonWidth && button.top < Y &&
         Y < button.top + form.buttonHeight;
}

bool TMenuBar::InsideBoard(int X, int Y) const {
  const TGame& game = form.game;
  return game.boardLeft < X && X < game.boardLeft + game.boardWidth && game.boardTop < Y &&
         Y < game.boardTop + game.boardHeight;
}

void TMenuBar::FormMouseDown(Qt::MouseButton button, int X, int Y) {
  if (button != Qt::LeftButton) return;
  // 1. The pieces. The panel covers the board while it is up: a press on
  //    it belongs to the panel, never to a piece hidden under it.
  if (!form.screen.panelShown) form.game.PickUpPiece(X, Y);
  // 2. The button table; a press on an entry is taken even when the entry
  //    cannot act, so it never drags the window.
  bool taken = false;
  for (int i = btnNewGame; i <= btnPanelTop; ++i) {
    if (!ButtonAt(i, X, Y)) continue;
    taken = true;
    const TScreenButton& entry = form.screen.screenButtons[i];
    if (!entry.enabled || !entry.visible) continue;
    if (i <= btnDraw)
      MenuItemClicked(i);
    else
      panel.PanelButtonClicked(i);
  }
  // 3. The tone/pulse switch (not counted as taking the press).
  panel.DialModeClicked(X, Y);
  // 4. A free spot outside the board drags the window.
  if (!form.game.pieceDragging && !taken && !InsideBoard(X, Y)) {
    formDragging = true;
    formDragStartX = X;
    formDragStartY = Y;
  }
}

void TMenuBar::FormMouseMove(int X, int Y) {
  form.game.DragPiece(X, Y);
  if (formDragging) form.move(form.x() + X - formDragStartX, form.y() + Y - formDragStartY);
  for (int i = btnNewGame; i <= btnPanelTop; ++i) {
    TScreenButton& entry = form.screen.screenButtons[i];
    if (!entry.enabled) continue;
    if (ButtonAt(i, X, Y)) {
      entry.textColour = clBlue;
    } else if (entry.textColour == clBlue) {
      entry.textColour = clBlack;
    } else {
      continue;
    }
    form.DrawWindowFrame(1);
    if (i >= btnPanelLow) panel.PaintDialogPanel(true);
  }
}

void TMenuBar::FormMouseUp(Qt::MouseButton button, int, int) {
  if (button != Qt::LeftButton) return;
  formDragging = false;
  // The core puts the picture back when the turn went away during the drag.
  if (form.game.pieceDragging) form.game.DropPiece();
  match.OpenPendingNewGameQuery();
}

void TMenuBar::MenuItemClicked(int index) {
  switch (index) {
    case btnNewGame:
      match.RequestNewGame();
      break;
    case btnOptions:
      form.ShowSkinWindow(0);
      break;
    case btnAbout:
      form.ShowSkinWindow(1);
      break;
    case btnExit:
      ExitClicked();
      break;
    case btnDraw:
      match.DrawItemClicked();
      break;
    default:
      break;
  }
}

bool TMenuBar::LinkMayBeUp() const {
  if (match.modemLinkUp) return true;
  if (!lan) return false;
  const int state = form.screen.screenState;
  // A server still waiting, or a client still trying, is no link yet.
  return (lan->ServerActive() && state != ssLanWaitClient) ||
         (lan->ClientActive() && state != ssLanEnterHost);
}

void TMenuBar::ExitClicked() {
  if (LinkMayBeUp()) {
    if (!askExitQuestion || !askExitQuestion()) return;
    match.LeaveMatch();
  }
  if (closeWindow) closeWindow();
}

}  // namespace zervik
