// The match between two copies once their link is up: the link-up steps,
// the coin toss for colour priority, the name and colour choice, the
// version check, the link watch, new games, the draw agreement and
// leaving. Every received message reaches HandleOpponentMessage.
//
// The local player's side of the protocol is carried out by the screens
// and the menu bar; the operations under "Local side" are what they call.
// Everything the match does to the outside goes through TMatchServices.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "core/services.h"
#include "protocol/link_control.h"
#include "protocol/screen_state.h"
#include "protocol/wire.h"

namespace zervik {

class TGame;
class TChat;
class TTimers;

struct TMatchServices {
  ISender* sender = nullptr;
  ILinkControl* links = nullptr;
  IDialogPanel* panel = nullptr;
  IBanners* banners = nullptr;
  IGameView* view = nullptr;  // DrawWindowFrame
  TTimers* timers = nullptr;
  TChat* chat = nullptr;      // may be set after construction
};

// Why the last match ended.
enum TMatchEnd {
  meNone,             // no match has ended yet (or one is running)
  meOpponentLeft,     // "ext" received
  meNoAnswer,         // no "_ok" within kKeepAliveMs of an "oks"
  meCarrierLost,      // the modem's carrier dropped
  meVersionMismatch,  // the opponent speaks another protocol version
};

// What a local colour pick led to.
enum TPickResult {
  prRefused,             // that colour is taken or the screen shows no pick
  prGameStarts,          // the opponent had picked: ssStartGame is opening
  prWaitingForOpponent,  // "Ожидание другого игрока"; the screen hides the
                         // name field and centres the prompt both ways
};

inline constexpr int kVersionBannerMs = 6000;
inline constexpr int kLeftBannerMs = 5000;
inline constexpr int kDrawBannerMs = 5000;
inline constexpr int kOfferBannerMs = 3000;

class TMatch {
 public:
  TMatch(TGame& game, TScreenData& screen, const TMatchServices& services);
  TMatch(const TMatch&) = delete;  // the timers' handlers point at this object
  TMatch& operator=(const TMatch&) = delete;

  TMatchServices services;

  // ---- Match values ----
  std::uint8_t colourPriority = 0;
  bool coloursChosen = false;
  bool startWhenAnswered = false;
  std::string opponentName;  // also copied into game.opponentName
  bool modemLinkUp = false;  // set by the modem link before LinkEstablished
  static constexpr int protocolVersion = kProtocolVersion;
  // The local player's name (a setting: read at start-up, written at exit,
  // replaced by the name typed with each colour pick).
  std::string playerName;
  // Between LinkEstablished and the end of that match.
  bool linkUp = false;
  TMatchEnd endReason = meNone;

  // The coin of BeginColourToss is seeded from the clock; tests fix it.
  void SeedCoinToss(std::uint32_t seed);

  // ---- Received messages ----
  void HandleOpponentMessage(const std::string& utf8Message);

  // ---- Link ----
  void LinkEstablished();
  // `toss` false keeps the priority of the last toss (see the "acc" handler).
  void BeginColourToss(bool toss = true);
  void StartLinkWatchTimer();
  void LinkWatchTick();
  void KeepAliveTimeout();
  void StopLinkTimers();
  void OpponentLeft();

  // ---- Local side ----
  // Whether the colour button (0 white "Белые", 1 black "Черные") of
  // ssPlayerSetup can be picked now.
  bool ColourAvailable(int colour) const;
  // "Белые" / "Черные" on ssPlayerSetup; `typedName` is the name field.
  TPickResult PickColour(int colour, const std::string& typedName);
  // "Да" (true) / "Нет" (false) on ssNewGameQuery (ignored on any other
  // screen).
  void AnswerNewGameQuery(bool yes);
  // The menu item "Новая игра". Does nothing and returns false while the
  // item is disabled.
  bool RequestNewGame();
  // The menu item btnDraw: offers a draw, or accepts the opponent's offer
  // (sends "dra"). Does nothing and returns false while the item is
  // disabled, so an acceptance is sent once.
  bool DrawItemClicked();
  // "Выход" confirmed while a link is up: "ext", the links closed. The
  // window closes afterwards (the shell's part).
  void LeaveMatch();
  // The opening action of ssPlayerSetup. In the waiting form (a new game
  // asked for) it sends "new" and returns false; otherwise it returns true:
  // the name field is shown.
  bool PlayerSetupOpened();
  // End of the panel's opening: an opponent's pick that arrived during the
  // animation is applied now.
  void ApplyDeferredClaim();
  // Handler of the Tag 55 timer: the refusal notice ends.
  void EndRefusalNotice();
  // The panel has closed to ssStartGame: the game starts, "Новая игра" is
  // enabled again.
  void StartGamePanelClosed();
  // The panel has closed to ssBoardOnly.
  void BoardOnlyPanelClosed();
  // Mouse-up after a piece drag: opens the new-game question held back
  // while the piece was dragged.
  void OpenPendingNewGameQuery();

 private:
  // The server copy's coin: its own priority, and "rbw" with the other's.
  void TossForPriority();
  void CheckVersion(const std::string& payload);
  void LeftFor(TMatchEnd reason);
  void EndMatch(TMatchEnd reason, const std::string& bannerText, int holdMs);
  void ReceivedColourPick(TMessageTag tag, const std::string& name);
  void ApplyColourClaim(bool opponentIsBlack);
  void ReceivedConfirmation(const std::string& payload);
  void ReceivedNewGameRequest();
  void ReceivedRefusal();
  void ReceivedDraw();
  void StartGame();
  void Send(const std::string& text);
  void SetMenuItem(int index, bool enabled);
  void DrawWindowFrame(int mode);

  TGame& game;
  TScreenData& screen;
  std::mt19937 coin;
  // A "vrzb"/"vrzw" that arrived behind a deferred pick.
  std::string deferredConfirmation;
};

}  // namespace zervik
