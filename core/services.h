// What the game core asks of the world outside it. The Qt shell implements
// these with real widgets, sockets and sounds; tests implement them with
// fakes that record what happened. None of them may call back into the
// core synchronously except where a comment says so.
#pragma once

#include <string>

#include "core/types.h"

namespace zervik {

class TTimers;

// Writes one message to the opponent through whatever link is active.
class ISender {
 public:
  virtual ~ISender() = default;
  virtual void SendToOpponent(const std::string& text) = 0;  // UTF-8
};

// One notice as ShowBanner receives it.
struct TBannerNotice {
  std::string text;
  int holdMs = 0;
  TColor textColour = clBlack;
  bool turnValue = false;
  bool setTurnOnClose = false;
  bool mainMenuOnClose = false;
};

// The banner notices over the board centre (queued behind a running one).
class IBanners {
 public:
  virtual ~IBanners() = default;
  virtual void ShowBanner(const std::string& text, int holdMs, TColor textColour,
                          bool turnValue, bool setTurnOnClose,
                          bool mainMenuOnClose) = 0;
};

// The record and chat panel `mchat`: a list of coloured text lines.
class IRecordPanel {
 public:
  virtual ~IRecordPanel() = default;
  // Gives the panel the input focus and puts its caret at the end of the
  // text with an empty selection.
  virtual void FocusAtEnd() = 0;
  // Colour of the lines added from now on.
  virtual void SetSelectionColour(TColor colour) = 0;
  virtual void AddLine(const std::string& text) = 0;
  virtual int LineCount() const = 0;
  virtual std::string Line(int index) const = 0;
  // Replaces the text of one line, keeping its colour.
  virtual void ReplaceLine(int index, const std::string& text) = 0;
};

// The window side of the game: drawing, skins, the promotion chooser and
// the move sound.
class IGameView {
 public:
  virtual ~IGameView() = default;
  virtual void RedrawPieces(int mode) = 0;     // 0 what changed, 1 everything
  virtual void DrawWindowFrame(int mode) = 0;  // 0 the whole frame, 1 captions
  virtual void LoadSkin() = 0;
  virtual void ShowPromotionChooser() = 0;
  virtual void HidePromotionChooser() = 0;
  virtual void PlayMoveSound() = 0;
};

// Everything the core reaches outside itself, handed in by the owner.
// Plain pointers: the owner outlives the game. `btnDraw` is the draw item
// of the shared button table.
struct TGameServices {
  ISender* sender = nullptr;
  IBanners* banners = nullptr;
  IRecordPanel* record = nullptr;
  IGameView* view = nullptr;
  TTimers* timers = nullptr;
  TScreenButton* btnDraw = nullptr;
};

}  // namespace zervik
