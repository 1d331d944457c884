// The state of the dialog screens that the match controller, the links, the
// menu bar and the panel all read and change: which screen is shown, the
// shared button table, the panel's prompt and the flags of the set-up
// screens. Plain data; the panel that draws it lives with the screens.
#pragma once

#include <array>
#include <string>

#include "core/types.h"

namespace zervik {

enum TScreenState : int {
  ssMainMenu = 0,
  ssLanMenu = 1,
  ssLanWaitClient = 2,
  ssLanEnterHost = 3,
  ssModemMenu = 4,
  ssModemWaitCall = 5,
  ssModemEnterNumber = 6,
  ssModemDialling = 7,
  ssPlayerSetup = 8,
  ssNewGameQuery = 9,
  ssStartGame = 100,
  ssBoardOnly = 101,
};

struct TScreenData {
  int screenState = ssMainMenu;
  std::array<TScreenButton, kButtonCount> screenButtons{};
  std::string promptText;
  TColor promptColour = clBlack;
  bool panelShown = false;
  bool panelInTransition = false;
  // Set-up screen flags.
  bool newGameRequested = false;     // this copy asked for a new game
  bool deferredClaim = false;        // an opponent's colour pick waits for the panel
  std::string deferredClaimTag;      // "bla" or "whi"
  bool newGameQueryPending = false;  // a "new" held back until the piece is dropped
};

// What the match controller and the links ask of the dialog panel. The real
// panel animates; the headless stand-in opens every screen at once.
class IDialogPanel {
 public:
  virtual ~IDialogPanel() = default;
  // Shows the screen named by screenState (animated on the real panel).
  virtual void OpenDialogPanel() = 0;
  virtual void PaintDialogPanel(bool full) = 0;
  virtual void CentreDialogTexts() = 0;
  virtual void HideDialogFields() = 0;
  // Makes the panel vanish at once: the bare board is copied over the
  // board canvas, without animation.
  virtual void VanishPanel() = 0;
};

}  // namespace zervik
