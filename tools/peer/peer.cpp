#include "tools/peer/peer.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace zervik {

namespace {

// A connection limit that the time scale does not shorten: the network
// takes as long as it takes.
int WallClockConnectLimit(double timeScale) {
  const double scaled = static_cast<double>(kConnectLimitMs) / timeScale;
  return scaled > 2e9 ? 2000000000 : static_cast<int>(scaled);
}

// The modem's time limits, like the connection limit, are the line's and
// not shortened by the time scale.
int WallClockLimit(int ms, double timeScale) {
  const double scaled = static_cast<double>(ms) / timeScale;
  return scaled > 2e9 ? 2000000000 : static_cast<int>(scaled);
}

std::string Describe(const THostAndPort& server) {
  const bool v6 = server.host.find(':') != std::string::npos;
  return (v6 ? "[" + server.host + "]" : server.host) + ":" + std::to_string(server.port);
}

}  // namespace

int TPeerTimers::Requested(int tag, int intervalMs) const {
  int minimumMs = 0;
  if (tag == tagKeepAlive) minimumMs = kMinKeepAliveWaitMs;
  if (tag == tagLinkWatch) minimumMs = kMinLinkWatchMs;
  if (minimumMs == 0) return intervalMs;
  // The interval before scaling that comes out as the minimum.
  const double floorMs = std::ceil(minimumMs / scaled.TimeScale());
  if (intervalMs >= floorMs) return intervalMs;
  return floorMs > 2e9 ? 2000000000 : static_cast<int>(floorMs);
}

void TPeerTimers::CreateTimer(int tag, int intervalMs, THandler onTimer) {
  scaled.CreateTimer(tag, Requested(tag, intervalMs), std::move(onTimer));
}

int TPeerTimers::WallClockInterval(int tag, int intervalMs) const {
  return scaled.ScaledInterval(Requested(tag, intervalMs));
}

TPeer::TPeer(const TPeerOptions& options, std::ostream& out, std::ostream& err,
             std::function<void(int)> done)
    : options(options),
      out(out),
      err(err),
      done(std::move(done)),
      timers(options.timeScale),
      link(timers, options.listen ? options.listenPort : options.server.port,
           WallClockConnectLimit(options.timeScale)),
      copy(link, link, timers),
      modem(modemSettings, timers),
      random(options.seedGiven ? options.seed
                               : static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch())) {
  link.SetScreens(copy.screen, panel);
  link.onLinkEstablished = [this] {
    copy.LinkEstablished();
    WatchColourRound();
  };
  link.onOpponentMessage = [this](const std::string& message) {
    copy.Receive(message);
    WatchColourRound();
    if (message.compare(0, 3, "rbw") == 0) {
      ++rbwReceived;
      TryPickColour();
    }
    // Counted before the next message of the same read is handled: an
    // "ext" right behind the last game's end is then a normal goodbye.
    NoteGameEnd();
  };
  link.onConnectionFailed = [this] {
    Finish(1, "could not connect to " + Describe(this->options.server));
  };

  if (options.modemAnswer || options.modemDial) {
    modemSettings.comPortDevices[kPeerModemPort - 1] = options.modemDevice;
    modemSettings.modemPort = kPeerModemPort;
    modemSettings.pulseDialling = false;
    modem.modem.CommandTimeout = WallClockLimit(kDefaultCommandTimeoutMs, options.timeScale);
    modem.modem.DialTimeout = WallClockLimit(kDefaultDialTimeoutMs, options.timeScale);
    modem.modem.AnswerTimeout = WallClockLimit(kDefaultAnswerTimeoutMs, options.timeScale);
    link.SetSerialLink(&modem, &modem);
    modem.SetScreens(copy.screen, panel);
    modem.SetMatch(&copy.match);
    modem.closeLanSockets = [this] { link.CloseLanSockets(); };
    // The same steps as for a LAN link that comes up or reads a message.
    modem.onLinkEstablished = link.onLinkEstablished;
    modem.onOpponentMessage = link.onOpponentMessage;
    modem.onFailure = [this](const std::string& text) {
      Finish(1, this->options.modemDevice + ": " + text);
    };
  }

  copy.match.playerName = options.name;
  copy.nameField = options.name;
  copy.match.SeedCoinToss(random());

  copy.hooks.screenOpened = [this](int state) { ScreenOpened(state); };
  copy.hooks.myTurn = [this] { MyTurn(); };
  copy.hooks.recordLineAdded = [this](int, const std::string& text) {
    if (!finished) this->out << text << std::endl;
  };

  poll.setInterval(kPeerPollMs);
  QObject::connect(&poll, &QTimer::timeout, [this] { Step(); });
}

bool TPeer::Start() {
  if (options.modemAnswer || options.modemDial) {
    copy.screen.screenState = options.modemAnswer ? ssModemWaitCall : ssModemDialling;
    copy.screen.panelShown = true;
    if (options.modemAnswer)
      modem.StartAnswerMode();
    else
      modem.StartDialling(options.modemNumber);
    if (finished) return false;  // the port or the modem failed at once
  } else if (options.listen) {
    copy.screen.screenState = ssLanWaitClient;
    copy.screen.panelShown = true;
    link.StartLanServer();
    if (!link.ServerActive()) {
      Finish(1, "could not listen on port " + std::to_string(options.listenPort));
      return false;
    }
    if (options.listenPort == 0) out << "listening: " << link.ListeningPort() << std::endl;
  } else {
    copy.screen.screenState = ssLanEnterHost;
    copy.screen.panelShown = true;
    link.ConnectToServer(options.server.host);
  }
  poll.start();
  return true;
}

void TPeer::ScreenOpened(int state) {
  if (finished) return;
  switch (state) {
    case ssPlayerSetup:
      TryPickColour();
      break;
    case ssNewGameQuery:
      copy.AnswerNewGame(true);
      WatchColourRound();
      break;
    default:
      break;
  }
  Step();
}

// Notices, right after the copy has handled something, that a colour
// choice has begun (the name and colour screen in its picking form).
void TPeer::WatchColourRound() {
  const bool picking = copy.screen.screenState == ssPlayerSetup && !copy.screen.newGameRequested;
  if (picking && !inColourRound) {
    inColourRound = true;
    colourPicked = false;
  }
  if (!picking) inColourRound = false;
}

void TPeer::TryPickColour() {
  if (finished || !inColourRound || colourPicked) return;
  if (copy.screen.screenState != ssPlayerSetup || copy.screen.panelInTransition) return;
  if (!link.IsServerCopy() && rbwReceived == 0) return;
  const int wanted = copy.match.ColourAvailable(options.colour) ? options.colour : 1 - options.colour;
  colourPicked = copy.PickColour(wanted) != prRefused;
  WatchColourRound();
}

std::string TPeer::ListedMoves() const {
  std::set<std::string> texts;
  for (const TLocalMove& move : ListLocalMoves(copy.game))
    texts.insert(LongAlgebraic(copy.game, move, false));
  std::string line = "moves:";
  for (const std::string& text : texts) line += " " + text;
  return line;
}

void TPeer::MyTurn() {
  if (finished || !copy.CanMove()) return;
  TGame& game = copy.game;
  const TScreenButton& drawItem = copy.screen.screenButtons[btnDraw];

  if (options.acceptDraws && game.drawOfferOpen && !game.drawOfferToSend && drawItem.enabled) {
    copy.ClickDrawItem();
    NoteGameEnd();
    return;
  }

  const std::vector<TLocalMove> moves = ListLocalMoves(game);
  if (moves.empty()) return;  // the game is over; the copy says so itself
  if (options.listMoves) out << ListedMoves() << std::endl;

  if (options.offerDrawAfter > 0 && game.moveNumber + 1 == options.offerDrawAfter &&
      drawItem.enabled && !game.drawOfferOpen)
    copy.ClickDrawItem();

  if (scriptedGame != copy.GamesStarted()) {
    scriptedGame = copy.GamesStarted();
    nextScripted = 0;
  }
  if (nextScripted < options.scriptedMoves.size()) {
    const std::string& wanted = options.scriptedMoves[nextScripted];
    const auto listed = std::find_if(moves.begin(), moves.end(), [&](const TLocalMove& move) {
      return LongAlgebraic(game, move) == wanted;
    });
    if (listed == moves.end()) {
      Finish(1, "move " + std::to_string(nextScripted + 1) + " of --moves, " + wanted +
                    ", is not legal here");
      return;
    }
    ++nextScripted;
    if (!copy.PlayMove(*listed)) {
      Finish(1, "internal error: the listed move " + wanted + " was refused");
      return;
    }
    AfterOwnMove();
    return;
  }

  // Uniform over the squares moved between; a promotion then picks its
  // piece, so that promoting is not four times as likely as other moves.
  std::map<std::pair<int, int>, std::vector<TLocalMove>> byRoute;
  for (const TLocalMove& move : moves)
    byRoute[{move.fromX * 10 + move.fromY, move.toX * 10 + move.toY}].push_back(move);
  auto route = byRoute.begin();
  std::advance(route, std::uniform_int_distribution<int>(0, static_cast<int>(byRoute.size()) - 1)(random));
  const std::vector<TLocalMove>& choices = route->second;
  const TLocalMove move =
      choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
  if (!copy.PlayMove(move)) {
    Finish(1, "internal error: the listed move " + LongAlgebraic(game, move) + " was refused");
    return;
  }
  AfterOwnMove();
}

void TPeer::AfterOwnMove() {
  if (!options.chatLine.empty() && !chatSent) {
    chatSent = true;
    copy.TypeChat(options.chatLine);
  }
  NoteGameEnd();
}

void TPeer::NoteGameEnd() {
  if (finished || copy.match.endReason != meNone) return;
  if (!copy.game.gameOver || copy.GamesStarted() <= countedGame) return;
  countedGame = copy.GamesStarted();
  ++gamesEnded;
  sinceGameEnd.start();
}

void TPeer::Step() {
  if (finished) return;
  NoteGameEnd();
  TryPickColour();
  if (copy.match.endReason != meNone) {
    MatchEnded();
    return;
  }
  if (gamesEnded >= options.games) {
    // Leaving once the last game's notices are over also gives a move that
    // is still gliding on the other copy the time to land.
    if (!copy.Quiet()) return;
    copy.Leave();
    Finish(0, "");
    return;
  }
  // After a game has ended: ask for the next one once everything has come
  // to rest and no question or answer is on the panel.
  const bool gameEndedHere = countedGame == copy.GamesStarted() && countedGame > 0 && copy.game.gameOver;
  if (!gameEndedHere || !copy.Quiet() || copy.screen.panelShown || copy.screen.panelInTransition) return;
  if (!copy.screen.screenButtons[btnNewGame].enabled) return;
  if (!link.IsServerCopy()) {
    const double grace = std::max<double>(kMinNewGameGraceMs, kNewGameGraceMs * options.timeScale);
    if (sinceGameEnd.elapsed() < static_cast<qint64>(grace)) return;
  }
  copy.RequestNewGame();
  WatchColourRound();
}

// Whether the game that runs or ran last has a result line in the record.
bool TPeer::LastGameHasResult() const {
  const std::vector<std::string> lines = copy.RecordTexts();
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (*line == "Начало новой игры.") return false;
    if (*line == "1-0" || *line == "0-1" || *line == "1/2-1/2") return true;
  }
  return false;
}

void TPeer::MatchEnded() {
  // Let the copy come to rest first: an "ext" can overtake the landing of
  // the opponent's last move, and only the landing tells this copy that
  // the move ended the game (bare kings are judged by each copy alone).
  if (!sinceMatchEnd.isValid()) sinceMatchEnd.start();
  const double restLimit = kRestLimitMs * options.timeScale + kRestMarginMs;
  if (!copy.Quiet() && sinceMatchEnd.elapsed() < static_cast<qint64>(restLimit)) return;
  if (countedGame < copy.GamesStarted() && LastGameHasResult()) {
    countedGame = copy.GamesStarted();
    ++gamesEnded;
  }
  switch (copy.match.endReason) {
    case meOpponentLeft:
      if (gamesEnded >= options.games)
        Finish(0, "");
      else
        Finish(1, "the opponent left after " + std::to_string(gamesEnded) + " of " +
                      std::to_string(options.games) + " games");
      break;
    case meNoAnswer:
      Finish(1, "the opponent vanished: no answer to the keep-alive");
      break;
    case meCarrierLost:
      Finish(1, "the carrier was lost");
      break;
    case meVersionMismatch:
      Finish(1, "the opponent speaks another protocol version");
      break;
    case meNone:
      break;
  }
}

void TPeer::Finish(int exitCode, const std::string& reason) {
  if (finished) return;
  finished = true;
  poll.stop();
  if (!reason.empty()) err << "zervik-peer: " << reason << std::endl;
  out << "--- record ---" << std::endl;
  for (const std::string& line : copy.RecordTexts()) out << line << std::endl;
  // The last message ("ext") gets a moment to leave before the process ends.
  QTimer::singleShot(kExitDelayMs, [this, exitCode] {
    if (done) done(exitCode);
  });
}

}  // namespace zervik
