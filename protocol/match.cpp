#include "protocol/match.h"

#include <chrono>

#include "core/game.h"
#include "platform/timers.h"
#include "protocol/chat.h"

namespace zervik {

namespace {

constexpr int kWhite = 0;
constexpr int kBlack = 1;

std::uint32_t ClockSeed() {
  return static_cast<std::uint32_t>(
      std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

TMatch::TMatch(TGame& game, TScreenData& screen, const TMatchServices& services)
    : services(services), game(game), screen(screen), coin(ClockSeed()) {}

void TMatch::SeedCoinToss(std::uint32_t seed) { coin.seed(seed); }

void TMatch::Send(const std::string& text) {
  if (services.sender) services.sender->SendToOpponent(text);
}

void TMatch::DrawWindowFrame(int mode) {
  if (services.view) services.view->DrawWindowFrame(mode);
}

void TMatch::SetMenuItem(int index, bool enabled) {
  screen.screenButtons[index].enabled = enabled;
  screen.screenButtons[index].textColour = enabled ? clBlack : clSilver;
}

// ---------------------------------------------------------------------------
// Received messages

void TMatch::HandleOpponentMessage(const std::string& utf8Message) {
  const std::optional<TReceived> received = ClassifyMessage(utf8Message);
  if (!received) return;  // shorter than a tag: no peer sends that
  const std::string& payload = received->payload;
  switch (received->tag) {
    case mtVer:
      CheckVersion(payload);
      break;
    case mtOks:
      Send("_ok");
      break;
    case mtOk:
      if (services.timers) services.timers->FreeTimers(tagKeepAlive);
      break;
    case mtRbw: {
      // Only a bit makes sense here; any other number would leave neither
      // copy (or both) with priority, so it is ignored.
      const std::optional<int> bit = ParseWireNumber(payload);
      if (bit && (*bit == 0 || *bit == 1)) colourPriority = static_cast<std::uint8_t>(*bit);
      break;
    }
    case mtVrz:
      ReceivedConfirmation(payload);
      break;
    case mtCht:
      if (services.chat) services.chat->ShowOpponentChat(payload);
      break;
    case mtLog:
      game.ApplyReceivedRecordText(payload);
      break;
    case mtDra:
      ReceivedDraw();
      break;
    case mtExt:
      OpponentLeft();
      break;
    case mtNew:
      ReceivedNewGameRequest();
      break;
    case mtAcc:
      // No second toss: a server copy that asked tossed before its "new", so
      // the opponent already holds this round's priority. A fresh "rbw" now
      // could arrive after the opponent had picked with the old one, leaving
      // both copies with priority or both waiting for each other.
      screen.newGameRequested = false;
      BeginColourToss(false);
      break;
    case mtReg:
      ReceivedRefusal();
      break;
    case mtBla:
    case mtWhi:
      ReceivedColourPick(received->tag, payload);
      break;
    case mtHod:
      game.ApplyOpponentMove(payload);
      break;
    case mtUnknown:
      break;
  }
}

void TMatch::CheckVersion(const std::string& payload) {
  // A text that is no number is no version of ours either.
  const std::optional<int> version = ParseWireNumber(payload);
  if (version && *version == protocolVersion) return;
  if (!linkUp) return;  // the match has already ended
  EndMatch(meVersionMismatch, "Соединение невозможно, у вашего оппонента другая версия Zervik",
           kVersionBannerMs);
}

void TMatch::OpponentLeft() { LeftFor(meOpponentLeft); }

// Only a running match can end: a second "ext", or a probe that times out
// after the end, changes nothing.
void TMatch::LeftFor(TMatchEnd reason) {
  if (!linkUp) return;
  EndMatch(reason, opponentName + " вышел из игры", kLeftBannerMs);
}

// The common end of a match: the panel vanishes at once, the banner leads
// back to the main menu, the links are closed.
void TMatch::EndMatch(TMatchEnd reason, const std::string& bannerText, int holdMs) {
  endReason = reason;
  linkUp = false;
  StopLinkTimers();
  if (services.timers) {
    services.timers->FreeTimers(tagDialogPanel);
    services.timers->FreeTimers(tagRefusalNotice);
  }
  screen.screenState = ssBoardOnly;
  if (services.panel) services.panel->HideDialogFields();
  screen.panelShown = false;
  // The panel's animation timer is gone, so no transition is running any
  // more; a claim arriving later must not wait for one.
  screen.panelInTransition = false;
  if (services.panel) services.panel->VanishPanel();
  if (services.banners) services.banners->ShowBanner(bannerText, holdMs, clBlack, false, false, true);
  game.gameOver = true;
  if (services.links) services.links->CloseLinks();
  modemLinkUp = false;
  if (services.chat) services.chat->DisableChatEntry();
  SetMenuItem(btnNewGame, false);
  SetMenuItem(btnDraw, false);
  DrawWindowFrame(0);
}

// ---------------------------------------------------------------------------
// Link

void TMatch::LinkEstablished() {
  linkUp = true;
  endReason = meNone;
  StartLinkWatchTimer();
  if (services.chat) services.chat->EnableChat();
  BeginColourToss();
  Send("ver" + std::to_string(protocolVersion));
}

void TMatch::TossForPriority() {
  if (!services.links || !services.links->IsServerCopy()) return;
  const int bit = static_cast<int>(coin() & 1u);
  colourPriority = static_cast<std::uint8_t>(bit);
  Send("rbw" + std::to_string(1 - bit));
}

void TMatch::BeginColourToss(bool toss) {
  if (toss) TossForPriority();
  startWhenAnswered = false;
  coloursChosen = false;
  // A claim still waiting from an earlier choice does not belong to this one.
  screen.deferredClaim = false;
  deferredConfirmation.clear();
  SetMenuItem(btnNewGame, false);
  DrawWindowFrame(1);
  screen.screenState = ssPlayerSetup;
  if (services.panel) services.panel->OpenDialogPanel();
}

void TMatch::StartLinkWatchTimer() {
  if (!services.timers) return;
  services.timers->FreeTimers(tagLinkWatch);  // one watch per link
  services.timers->CreateTimer(tagLinkWatch, kLinkWatchMs, [this] { LinkWatchTick(); });
}

void TMatch::LinkWatchTick() {
  if (!modemLinkUp) {
    if (services.timers) {
      // A probe still waiting is replaced, never doubled.
      services.timers->FreeTimers(tagKeepAlive);
      services.timers->CreateTimer(tagKeepAlive, kKeepAliveMs, [this] { KeepAliveTimeout(); });
    }
    Send("oks");
  } else if (services.links && !services.links->CarrierDetect()) {
    LeftFor(meCarrierLost);
  }
}

void TMatch::KeepAliveTimeout() {
  LeftFor(meNoAnswer);
  if (services.timers) services.timers->FreeTimers(tagKeepAlive);
}

void TMatch::StopLinkTimers() {
  if (!services.timers) return;
  services.timers->FreeTimers(tagKeepAlive);
  services.timers->FreeTimers(tagLinkWatch);
}

// ---------------------------------------------------------------------------
// Colour choice

void TMatch::ReceivedColourPick(TMessageTag tag, const std::string& name) {
  opponentName = name;
  game.opponentName = name;
  if (coloursChosen) {
    if (colourPriority == 1)
      StartGame();
    else
      startWhenAnswered = true;
  } else if (screen.panelInTransition) {
    screen.deferredClaimTag = tag == mtBla ? "bla" : "whi";
    screen.deferredClaim = true;
  } else {
    ApplyColourClaim(tag == mtBla);
    if (services.panel) services.panel->PaintDialogPanel(true);
  }
}

// The opponent has taken a colour: this copy gets the other one, and the
// taken colour's button shows the opponent's name, greyed.
void TMatch::ApplyColourClaim(bool opponentIsBlack) {
  coloursChosen = true;
  game.localColour = opponentIsBlack ? kWhite : kBlack;
  TScreenButton& taken = screen.screenButtons[opponentIsBlack ? btnPanelLow : btnPanelMid];
  taken.caption = opponentName;
  taken.enabled = false;
  taken.textColour = clSilver;
}

void TMatch::ApplyDeferredClaim() {
  if (!screen.deferredClaim) return;
  if (screen.deferredClaimTag == "bla" || screen.deferredClaimTag == "whi") {
    ApplyColourClaim(screen.deferredClaimTag == "bla");
    if (services.panel) services.panel->PaintDialogPanel(true);
  }
  screen.deferredClaim = false;
  if (!deferredConfirmation.empty()) {
    const std::string request = deferredConfirmation;
    deferredConfirmation.clear();
    ReceivedConfirmation(request);
  }
}

void TMatch::ReceivedConfirmation(const std::string& payload) {
  // A request that follows a pick still waiting for the panel is answered
  // once that pick has been applied: answered from the colour this copy
  // held before, both copies could end up with the same colour.
  if ((payload == "b" || payload == "w") && screen.deferredClaim) {
    deferredConfirmation = payload;
    return;
  }
  const bool localBlack = game.localColour == kBlack;
  if ((localBlack && payload == "b") || (!localBlack && payload == "w")) Send("vrzn");
  if ((localBlack && payload == "w") || (!localBlack && payload == "b")) Send("vrzy");
  if (payload == "y" || payload == "n") {
    if (payload == "n") game.localColour = localBlack ? kWhite : kBlack;
    colourPriority = 1;
    if (startWhenAnswered) StartGame();
  }
}

void TMatch::StartGame() {
  screen.screenState = ssStartGame;
  if (services.panel) services.panel->OpenDialogPanel();
}

bool TMatch::ColourAvailable(int colour) const {
  if (colour != kWhite && colour != kBlack) return false;
  if (screen.screenState != ssPlayerSetup) return false;
  const TScreenButton& button = screen.screenButtons[colour == kBlack ? btnPanelLow : btnPanelMid];
  return button.visible && button.enabled;
}

TPickResult TMatch::PickColour(int colour, const std::string& typedName) {
  if (!ColourAvailable(colour)) return prRefused;
  playerName = typedName;
  game.localColour = static_cast<std::uint8_t>(colour);
  Send((colour == kBlack ? "bla" : "whi") + playerName);
  if (coloursChosen) {
    colourPriority = 1;
    StartGame();
    return prGameStarts;
  }
  if (colourPriority == 0) Send(colour == kBlack ? "vrzb" : "vrzw");
  coloursChosen = true;
  screen.promptText = "Ожидание другого игрока";
  screen.promptColour = clBlack;
  screen.screenButtons[btnPanelLow].visible = false;
  screen.screenButtons[btnPanelMid].visible = false;
  return prWaitingForOpponent;
}

bool TMatch::PlayerSetupOpened() {
  if (!screen.newGameRequested) return true;
  screen.screenButtons[btnPanelLow].visible = false;
  screen.screenButtons[btnPanelMid].visible = false;
  coloursChosen = false;
  Send("new");
  return false;
}

void TMatch::StartGamePanelClosed() {
  game.StartNewGame();
  SetMenuItem(btnNewGame, true);
  DrawWindowFrame(1);
}

void TMatch::BoardOnlyPanelClosed() {
  SetMenuItem(btnNewGame, true);
  DrawWindowFrame(1);
  if (services.view) services.view->RedrawPieces(1);
}

// ---------------------------------------------------------------------------
// New game

bool TMatch::RequestNewGame() {
  if (!screen.screenButtons[btnNewGame].enabled) return false;
  screen.newGameRequested = true;
  BeginColourToss();
  return true;
}

void TMatch::ReceivedNewGameRequest() {
  if (game.pieceDragging) {
    screen.newGameQueryPending = true;
    return;
  }
  if (services.timers) services.timers->FreeTimers(tagRefusalNotice);
  screen.screenState = ssNewGameQuery;
  if (services.panel) services.panel->OpenDialogPanel();
}

void TMatch::OpenPendingNewGameQuery() {
  if (!screen.newGameQueryPending) return;
  screen.newGameQueryPending = false;
  if (services.timers) services.timers->FreeTimers(tagRefusalNotice);
  screen.screenState = ssNewGameQuery;
  if (services.panel) services.panel->OpenDialogPanel();
}

void TMatch::AnswerNewGameQuery(bool yes) {
  if (screen.screenState != ssNewGameQuery) return;  // answered already
  if (yes) {
    screen.newGameRequested = false;
    // A server copy tosses before it consents, so the asker holds this
    // round's priority when its colour choice begins: picking between an
    // "acc" and the "rbw" behind it would use the last round's.
    TossForPriority();
    Send("acc");
    coloursChosen = false;
    BeginColourToss(false);
  } else {
    Send("reg");
    screen.screenState = ssBoardOnly;
    if (services.panel) services.panel->OpenDialogPanel();
  }
}

void TMatch::ReceivedRefusal() {
  screen.promptText = opponentName + " отказался начинать новую игру";
  screen.promptColour = clRed;
  if (services.panel) {
    services.panel->CentreDialogTexts();
    services.panel->PaintDialogPanel(true);
  }
  if (services.timers) {
    // A second refusal restarts the notice rather than adding a timer.
    services.timers->FreeTimers(tagRefusalNotice);
    services.timers->CreateTimer(tagRefusalNotice, kRefusalNoticeMs, [this] { EndRefusalNotice(); });
  }
}

void TMatch::EndRefusalNotice() {
  screen.screenState = ssBoardOnly;
  if (services.panel) services.panel->OpenDialogPanel();
  if (services.timers) services.timers->FreeTimers(tagRefusalNotice);
}

// ---------------------------------------------------------------------------
// Draw and leaving

void TMatch::ReceivedDraw() {
  if (services.banners) services.banners->ShowBanner("Ничья", kDrawBannerMs, clBlack, false, false, false);
  game.gameOver = true;
  game.AddLogLine("l1/2-1/2");
  game.myTurn = false;
}

bool TMatch::DrawItemClicked() {
  TScreenButton& item = screen.screenButtons[btnDraw];
  if (!item.enabled || !item.visible) return false;
  if (game.drawOfferOpen) {
    Send("dra");
    if (services.banners) services.banners->ShowBanner("Ничья", kDrawBannerMs, clBlack, false, false, false);
    game.gameOver = true;
    game.AddLogLine("l1/2-1/2");
    game.myTurn = false;
  } else {
    if (services.banners)
      services.banners->ShowBanner("Предложение вступит в силу по завершении хода", kOfferBannerMs,
                                   clBlack, false, false, false);
    item.caption = "Ничья предложена";
    game.drawOfferOpen = true;
    game.drawOfferToSend = true;
  }
  SetMenuItem(btnDraw, false);
  DrawWindowFrame(0);
  return true;
}

void TMatch::LeaveMatch() {
  Send("ext");
  // The window closes next; until then no probe may end the match a
  // second time.
  linkUp = false;
  StopLinkTimers();
  if (services.links) services.links->CloseLinks();
}

}  // namespace zervik
