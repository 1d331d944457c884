// One whole copy of Zervik without a window: the game, the screen data, the
// match and the chat, with in-memory stand-ins for the record panel, the
// chat entry, the banners and the dialog panel. The dialog panel opens
// every screen at once (or after a fixed time) and runs its opening
// action; the banners keep their grow, hold and shrink timers and apply
// their end effects. A driver (a robot, a test) plays through the
// operations below and learns what happens through the hooks.
//
// The copy reaches the outside only through the ISender, ILinkControl and
// TTimers its owner hands in; the owner delivers received messages with
// Receive and calls LinkEstablished when its link is up.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/move_list.h"
#include "core/services.h"
#include "platform/timers.h"
#include "protocol/chat.h"
#include "protocol/link_control.h"
#include "protocol/match.h"
#include "protocol/screen_state.h"

namespace zervik {

struct THeadlessRecordLine {
  std::string text;  // UTF-8
  TColor colour = clBlack;
};

// One notice as ShowBanner received it.
using THeadlessBanner = TBannerNotice;

inline constexpr int kBannerQueueSlots = 20;
inline constexpr int kBannerSteps = 10;  // grow and shrink ticks of a banner

class THeadlessCopy {
 public:
  struct TOptions {
    // Added to every timer tag, so that several copies can share one
    // timer facility (one virtual clock) without freeing each other's
    // timers.
    int timerTagOffset = 0;
    // Every timer interval is multiplied by this (at least 1 ms).
    double timeScale = 1.0;
    // 0: every screen opens at once. Otherwise the transition takes this
    // long (the Tag 34 timer), so claims arriving meanwhile are deferred.
    int panelTransitionMs = 0;
  };

  // The driver's hooks. `screenOpened` and `myTurn` are posted: they run
  // from a 1 ms timer after the event that caused them has been handled to
  // its end, so they may call any operation of the copy. `recordLineAdded`
  // and `bannerShown` run at once and must not call back into the copy.
  struct THooks {
    std::function<void(int screenState)> screenOpened;
    // The local player may move now (myTurn, game not over, no piece
    // dragged, no promotion chooser, no panel up); once per turn.
    std::function<void()> myTurn;
    std::function<void(int index, const std::string& text)> recordLineAdded;
    std::function<void(const THeadlessBanner& banner)> bannerShown;
  };

  THeadlessCopy(ISender& sender, ILinkControl& links, TTimers& timers);
  THeadlessCopy(ISender& sender, ILinkControl& links, TTimers& timers, const TOptions& options);
  ~THeadlessCopy();  // frees every timer of this copy
  THeadlessCopy(const THeadlessCopy&) = delete;  // handlers point at this object
  THeadlessCopy& operator=(const THeadlessCopy&) = delete;

  THooks hooks;

 private:
  struct TParts;
  std::unique_ptr<TParts> parts;  // first: the members below point into it

 public:
  TGame game;
  TScreenData screen;
  TMatch match;
  TChat chat;
  // The name field `eip` of ssPlayerSetup (starts as match.playerName).
  std::string nameField;

  // ---- From the owner ----
  void LinkEstablished();
  void Receive(const std::string& utf8Message);

  // ---- The player ----
  TPickResult PickColour(int colour);  // 0 white, 1 black; uses nameField
  void AnswerNewGame(bool yes);        // "Да" / "Нет" on ssNewGameQuery
  bool RequestNewGame();               // "Новая игра", when it is enabled
  bool ClickDrawItem();                // btnDraw, when it is enabled
  void Leave();                        // "Выход" confirmed
  // Types `text` into the chat entry and presses Enter.
  void TypeChat(const std::string& text);
  // Makes a move through the mouse path (see PlayLocalMove).
  bool PlayMove(const TLocalMove& move);
  // Left press on square (x, y) and drag of the piece to its own centre;
  // the release drops it and opens a held-back new-game question.
  bool PressPiece(int x, int y);
  void ReleasePiece();

  // ---- What the copy shows ----
  const std::vector<THeadlessRecordLine>& RecordLines() const;
  std::vector<std::string> RecordTexts() const;
  // Every notice in the order ShowBanner received it.
  const std::vector<THeadlessBanner>& BannersRequested() const;
  bool BannerActive() const;
  int BannersQueued() const;
  const std::vector<std::string>& ChatEntryLines() const;
  bool ChatEntryEnabled() const;
  bool ChatEntryFocused() const;
  int ChatSoundsPlayed() const;
  bool RecordPanelEnabled() const;
  // The local player could move a piece now.
  bool CanMove() const;
  // Nothing is moving: no banner, no animation, no panel transition.
  bool Quiet() const;
  // Games started on this copy (StartNewGame calls).
  int GamesStarted() const;

 private:
  void Observe();
  void Post(std::function<void()> action);

  friend struct TParts;
};

}  // namespace zervik
