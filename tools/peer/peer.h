// zervik-peer: one copy of Zervik without a window on a real LAN link,
// played by a robot. It picks its colour, plays the moves it was given and
// then uniformly random legal moves, agrees to every new game, asks for
// the next game itself, offers and accepts draws as told, says its chat
// line once, and leaves once enough games have ended.
// What its record panel receives is printed as it arrives.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "links/lan_link.h"
#include "links/modem_link.h"
#include "platform/settings.h"
#include "platform/qt_timers.h"
#include "protocol/headless_copy.h"
#include "tools/peer/peer_options.h"

namespace zervik {

// The client waits this long (times the time scale) for the server to ask
// for the next game before it asks itself, so that two peers do not ask
// at once and cross their requests.
inline constexpr int kNewGameGraceMs = 3000;
inline constexpr int kMinNewGameGraceMs = 500;
// How often the robot looks whether it has something to do.
inline constexpr int kPeerPollMs = 10;
// How long an ended match may take to come to rest (a move still gliding,
// the last banner) before the peer reports, times the time scale, plus a
// fixed margin.
inline constexpr int kRestLimitMs = 20000;
inline constexpr int kRestMarginMs = 2000;
// Time the last message gets to leave before the process ends.
inline constexpr int kExitDelayMs = 100;
// The port number the modem device is given (the device itself comes from
// --modem-answer or --modem-dial).
inline constexpr int kPeerModemPort = 1;

// The link watch waits for a round trip over the network, which, like the
// connection limit, the time scale does not shorten below these wall-clock
// times: a peer run fast on a busy machine would otherwise take a late
// "_ok" for a vanished opponent. The probe's period keeps the program's
// proportion to the wait (20 s to 8 s), so every wait ends before the next
// probe replaces it.
inline constexpr int kMinKeepAliveWaitMs = 2000;
inline constexpr int kMinLinkWatchMs = kMinKeepAliveWaitMs * kLinkWatchMs / kKeepAliveMs;

class TPeerTimers : public TTimers {
 public:
  explicit TPeerTimers(double timeScale) : scaled(timeScale) {}
  void CreateTimer(int tag, int intervalMs, THandler onTimer) override;
  void FreeTimers(int tag) override { scaled.FreeTimers(tag); }
  bool HasTimer(int tag) const override { return scaled.HasTimer(tag); }
  // The wall-clock interval a timer of `tag` asked for with `intervalMs` gets.
  int WallClockInterval(int tag, int intervalMs) const;

 private:
  int Requested(int tag, int intervalMs) const;
  TQtTimers scaled;
};

class TPeer {
 public:
  // `done` receives the exit code once; `out` and `err` are stdout and
  // stderr (UTF-8).
  TPeer(const TPeerOptions& options, std::ostream& out, std::ostream& err,
        std::function<void(int exitCode)> done);
  TPeer(const TPeer&) = delete;  // handlers point at this object
  TPeer& operator=(const TPeer&) = delete;

  // Starts listening or connecting. Returns false (after `done`) when the
  // port cannot be listened on.
  bool Start();

 private:
  // The silent panel for the link: the peer has no prompt to paint.
  class TNoPanel : public IDialogPanel {
   public:
    void OpenDialogPanel() override {}
    void PaintDialogPanel(bool) override {}
    void CentreDialogTexts() override {}
    void HideDialogFields() override {}
    void VanishPanel() override {}
  };

  void ScreenOpened(int state);
  void WatchColourRound();
  void TryPickColour();
  void MyTurn();
  // After each of the peer's own moves: the --chat line (once), then the
  // count of ended games.
  void AfterOwnMove();
  void Step();
  void NoteGameEnd();
  void MatchEnded();
  bool LastGameHasResult() const;
  void Finish(int exitCode, const std::string& reason);
  std::string ListedMoves() const;

  TPeerOptions options;
  std::ostream& out;
  std::ostream& err;
  std::function<void(int)> done;

  TPeerTimers timers;
  TNoPanel panel;
  TLanLink link;
  THeadlessCopy copy;
  // The modem link behind the LAN link, used with --modem-answer and
  // --modem-dial.
  TSettings modemSettings;
  TModemLink modem;
  std::mt19937 random;
  QTimer poll;
  QElapsedTimer sinceGameEnd;
  QElapsedTimer sinceMatchEnd;

  // The colour choice. The client copy picks only once the server's first
  // "rbw" has arrived: before it, the client's priority is a guess. Later
  // rounds need no wait, since the server tosses before the round begins.
  int rbwReceived = 0;
  bool inColourRound = false;
  bool colourPicked = false;

  // The next move of --moves, and the game it belongs to (the list starts
  // again with every game).
  std::size_t nextScripted = 0;
  int scriptedGame = 0;
  bool chatSent = false;  // the --chat line

  int gamesEnded = 0;
  int countedGame = 0;  // the GamesStarted() value whose end was counted
  bool finished = false;
};

}  // namespace zervik
