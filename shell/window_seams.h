// The places where the parts that are not the window itself plug into the
// main window: the dialog panel, the banners, the mouse dispatch of the
// menu bar and the board, and the links. Each one may be absent; the window
// then leaves that step out, so it can be built, shown and tested alone.
#pragma once

#include <Qt>
#include <functional>
#include <string>

namespace zervik {

class IDialogPanel;

// The main window's three mouse handlers; X and Y are client coordinates.
// Whoever dispatches the clicks (menu bar, panel buttons, pieces, window
// drag) implements them.
class IWindowMouse {
 public:
  virtual ~IWindowMouse() = default;
  virtual void FormMouseDown(Qt::MouseButton button, int X, int Y) = 0;
  virtual void FormMouseMove(int X, int Y) = 0;
  virtual void FormMouseUp(Qt::MouseButton button, int X, int Y) = 0;
};

struct TWindowSeams {
  // The dialog panel: FormActivate opens the first screen through it, the
  // skin window repaints it after closing, the layout switch re-centres its
  // texts. The panel's own pictures and rectangle live in TForm1
  // (panelImage, panelBackground, panelRect, panelWidth, panelHeight), so
  // that the layout switch and the skin load can move and refresh them.
  IDialogPanel* dialogPanel = nullptr;
  IWindowMouse* mouse = nullptr;
  // Whether the colours of the game are settled: only then does a skin load
  // read the twelve piece pictures. Without a match nothing is settled.
  std::function<bool()> coloursChosen;
  // Makes the server and then the client socket inactive (FormClose).
  std::function<void()> closeLanSockets;
};

}  // namespace zervik
