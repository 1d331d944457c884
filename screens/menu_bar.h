// The menu bar of the main window and the dispatch of its three mouse
// handlers: a press goes first to the pieces, then to the button table
// (menu items 0-4 and panel buttons 5-7), then to the tone/pulse switch,
// and on a free spot outside the board it starts a window drag.
#pragma once

#include <functional>

#include "shell/window_seams.h"

namespace zervik {

class TDialogPanel;
class TForm1;
class TLanLink;
class TMatch;

inline constexpr const char* kExitQuestion = "Вы уверены, что хотите выйти?";

class TMenuBar : public IWindowMouse {
 public:
  // Everything must outlive the menu; the LAN link may be null (no link).
  TMenuBar(TForm1& form, TMatch& match, TDialogPanel& panel, TLanLink* lan);

  // The Yes/No question before leaving; true for Yes. The default is a
  // message box with an empty title.
  std::function<bool()> askExitQuestion;
  // Closes the main window (which ends the program).
  std::function<void()> closeWindow;

  // ---- IWindowMouse ----
  void FormMouseDown(Qt::MouseButton button, int X, int Y) override;
  void FormMouseMove(int X, int Y) override;
  void FormMouseUp(Qt::MouseButton button, int X, int Y) override;

  // Strictly inside entry i of the button table: its outermost pixel row
  // and column do not count.
  bool ButtonAt(int i, int X, int Y) const;
  // Whether leaving needs the question: a link may be up.
  bool LinkMayBeUp() const;
  void ExitClicked();

  bool formDragging = false;
  int formDragStartX = 0;
  int formDragStartY = 0;

 private:
  void MenuItemClicked(int index);
  bool InsideBoard(int X, int Y) const;

  TForm1& form;
  TMatch& match;
  TDialogPanel& panel;
  TLanLink* lan;
};

}  // namespace zervik
