// The dialog panel over the board centre and the screens it carries: the
// choice of link, the LAN and modem screens, the name and colour screen and
// the new-game question. Every change of screen is animated on the Tag 34
// timer: the old panel shrinks to the centre over ten ticks, the new one is
// laid out on the eleventh without being drawn, grows over nine ticks and
// opens on the twenty-first, when the screen's opening action runs.
//
// The panel draws on the main window's board canvas; the pictures it keeps
// between ticks (panelImage, panelBackground, panelRect, panelWidth,
// panelHeight) live in the window, so that a layout switch can move them.
// Its buttons are entries 5-7 of the button table in the screen data, shared
// with the menu bar.
#pragma once

#include <functional>
#include <string>

#include "platform/qt_canvas.h"
#include "protocol/screen_state.h"

namespace zervik {

class TForm1;
class TLanLink;
class TMatch;
class TModemLink;
class TTimers;

inline constexpr int kPanelWidth = 240;
inline constexpr int kQueryPanelWidth = 300;
inline constexpr int kNameFieldWidth = 200;
// The switch band reaches this far left of the switch text (it covers most
// of the glyph drawn there).
inline constexpr int kDialModeBand = 13;
inline constexpr int kDialModeGlyphGap = 5;
// Serial ports offered on the modem screen: COM1 ... COM6.
inline constexpr int kFirstModemPort = 1;

inline constexpr const char* kMainMenuModem = "Игра по модему";
inline constexpr const char* kMainMenuLan = "Игра по локальной сети";
inline constexpr const char* kBackCaption = "Назад";
inline constexpr const char* kOkCaption = "ОК";  // Cyrillic letters

class TDialogPanel : public IDialogPanel {
 public:
  // The window and the timers must outlive the panel. The match and the links
  // are plugged in after construction, since they need the panel
  // themselves; without them the screens only lead from one to another.
  TDialogPanel(TForm1& form, TTimers& timers);
  ~TDialogPanel() override;
  TDialogPanel(const TDialogPanel&) = delete;  // the timer's handler points here
  TDialogPanel& operator=(const TDialogPanel&) = delete;

  void SetMatch(TMatch* match) { this->match = match; }
  void SetLanLink(TLanLink* lan) { this->lan = lan; }
  void SetModemLink(TModemLink* modem) { this->modem = modem; }

  // Called with every animation frame drawn (the rectangle the stretched
  // panel picture filled), for whoever watches the animation.
  std::function<void(const TRect& frame)> frameDrawn;

  // ---- IDialogPanel ----
  void OpenDialogPanel() override;
  void PaintDialogPanel(bool copyToWindow) override;
  void CentreDialogTexts() override;
  void HideDialogFields() override;
  void VanishPanel() override;

  // ---- The animation ----
  void DialogPanelTick();
  void SetUpDialogScreen();

  // ---- The screens' controls ----
  // Panel button 5, 6 or 7 was clicked while visible and enabled.
  void PanelButtonClicked(int index);
  // A left press at (X, Y): toggles the tone/pulse switch when the point is
  // in its band. Returns whether it toggled.
  bool DialModeClicked(int X, int Y);
  // The port list's change event: the choice is kept as modemPort.
  void ccomportChange(int itemIndex);

  // The board centre.
  int CentreX() const;
  int CentreY() const;
  // The whole panel of the current size, centred on the board.
  TRect CurrentPanelRect() const;
  // The screen shows the edit field eip (and gets its painted picture while
  // it opens).
  bool ShowsEditField() const { return showsEditField; }

  // ---- Panel state ----
  bool panelClosing = false;
  float animLeft = 0, animTop = 0, animRight = 0, animBottom = 0;
  float animStepX = 0, animStepY = 0;
  bool promptVisible = false;
  int promptLeft = 0;
  int promptTop = 0;
  std::string dialModeText;
  bool dialModeVisible = false;
  int dialModeLeft = 0, dialModeTop = 0, dialModeWidth = 0, dialModeHeight = 0;
  // Transitions begun so far; an opening action that starts another one
  // leaves the new one alone.
  int transitionsBegun = 0;

 private:
  void Tick();
  void FinishClosing(int state);
  void LayOutNewScreen();
  void FinishOpening();
  void DrawFrame();
  void PaintEditFieldPicture();
  void RunOpeningAction(int state);
  void GoTo(int state);
  void PickColour(int colour);
  void CloseAllLinks();
  void SetButton(int index, const char* caption, int top);
  std::string FieldText() const;
  void SetFieldText(const std::string& text);
  int TextWidthOf(const std::string& text) const;
  int TextHeightOfFont() const;

  TForm1& form;
  TScreenData& screen;
  TTimers& timers;
  TMatch* match = nullptr;
  TLanLink* lan = nullptr;
  TModemLink* modem = nullptr;
  bool showsEditField = false;
};

}  // namespace zervik
