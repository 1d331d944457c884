#include "links/modem_link.h"

#include "platform/settings.h"
#include "platform/timers.h"
#include "protocol/match.h"

namespace zervik {

std::string PortNotFoundText(const std::string& portName) {
  return "Порт " + portName + " не найден";
}

std::string RestoreCutDrawText(const std::string& utf8Message) {
  if (utf8Message == "logl1") return "logl1/2-1/2";
  if (utf8Message == "lognl1") return "lognl1/2-1/2";
  return utf8Message;
}

TModemLink::TModemLink(TSettings& settings, TTimers& timers, int timerTagOffset)
    : VaComm1([this](int portNum) { return this->settings.DeviceForComPort(portNum); }),
      modem(VaComm1, timers, timerTagOffset),
      VaCapture1([this](const std::string& data) { VaCapture1Message(data); }),
      settings(settings) {
  VaComm1.onDataReceived = [this](std::string_view bytes) { PortDataReceived(bytes); };
  modem.OnRingDetect = [this](int rings, bool& acceptCall) { modemRingDetect(rings, acceptCall); };
  modem.OnConnect = [this](const std::string& text) { modemConnect(text); };
  modem.OnBusy = [this] { modemBusy(); };
  modem.OnCommandTimeout = [this] { modemCommandTimeout(); };
  modem.OnNoCarrier = [this] { modemNoCarrier(); };
  modem.OnNoDialTone = [this] {
    if (state == lsDialling) ShowFailure(kNoDialToneText);
  };
  modem.OnVoice = [this] {
    if (state == lsDialling) ShowFailure(kVoiceText);
  };
  modem.OnDialTimeout = [this] {
    if (state == lsDialling) ShowFailure(kNoAnswerText);
  };
  modem.OnError = [this] {
    if (state == lsDialling) ShowFailure(kModemErrorText);
    // An ERROR to the initialisation is a modem that cannot wait for calls.
    if (state == lsWaitingForCall) ShowFailure(kInitFailedText);
  };
  modem.OnAnswerTimeout = [this] { modemAnswerFailed(); };
}

TModemLink::~TModemLink() {
  // The port's events must not reach a half-destroyed link.
  VaComm1.onDataReceived = nullptr;
  VaComm1.Close();
}

void TModemLink::SetScreens(TScreenData& screenData, IDialogPanel& dialogPanel) {
  screen = &screenData;
  panel = &dialogPanel;
}

void TModemLink::SetMatch(TMatch* matchController) { match = matchController; }

bool TModemLink::ModemLinkUp() const { return state == lsMatch && (!match || match->modemLinkUp); }

// ---------------------------------------------------------------------------
// The screens' operations

void TModemLink::CloseAllLinks() {
  if (closeLanSockets) closeLanSockets();
  VaComm1.Close();
  // A command still waiting would report its time-out on whatever screen
  // is shown by then.
  modem.Cancel();
  VaCapture1.Reset();
  state = lsClosed;
}

void TModemLink::ChooseDefaultModemPort() {
  VaComm1.PortNum = kProbedModemPort;
  if (!VaComm1.Open()) {
    VaComm1.Close();
    settings.modemPort = kProbedModemPort;
  } else {
    settings.modemPort = kFallbackModemPort;
  }
}

bool TModemLink::OpenPortFor(TLinkState next) {
  if (closeLanSockets) closeLanSockets();
  VaComm1.PortNum = settings.modemPort;
  modem.Cancel();
  state = next;
  if (!VaComm1.Open()) return true;
  ShowPortError();
  return false;
}

void TModemLink::StartAnswerMode() {
  if (!OpenPortFor(lsWaitingForCall)) return;
  modem.RingDetect = rdMsg;
  if (modem.Init()) ShowPortError();
}

void TModemLink::CancelModemCommand() { modem.Cancel(); }

void TModemLink::StartDialling(const std::string& number) {
  modem.RingDetect = rdNone;
  if (!OpenPortFor(lsDialling)) return;
  const char* dialCommand = settings.pulseDialling ? "DIALCMD=ATDP" : "DIALCMD=ATDT";
  if (modem.Config.size() > 1) modem.Config[1] = dialCommand;
  if (modem.Dial(number)) ShowFailure(kModemErrorText);
}

void TModemLink::ccomportChange(int itemIndex) { settings.modemPort = itemIndex + 1; }

// ---------------------------------------------------------------------------
// Prompts

void TModemLink::ShowPrompt(const std::string& text, TColor colour) {
  if (!screen || !panel) return;
  screen->promptColour = colour;
  screen->promptText = text;
  panel->CentreDialogTexts();
  panel->PaintDialogPanel(true);
}

void TModemLink::ShowFailure(const std::string& text) {
  ShowPrompt(text, clRed);
  if (onFailure) onFailure(text);
}

void TModemLink::ShowPortError() { ShowFailure(PortNotFoundText(VaComm1.PortName())); }

// ---------------------------------------------------------------------------
// The modem's events

void TModemLink::modemRingDetect(int, bool& acceptCall) {
  acceptCall = true;
  if (!screen || !panel) return;
  screen->promptText = kRingText;
  panel->CentreDialogTexts();
  panel->PaintDialogPanel(true);
}

void TModemLink::modemConnect(const std::string&) {
  state = lsMatch;
  carrierLost = false;
  // What came over the line before the call is nobody's message.
  VaCapture1.Reset();
  if (match) match->modemLinkUp = true;
  if (onLinkEstablished) onLinkEstablished();
}

void TModemLink::modemBusy() {
  if (state == lsDialling) ShowFailure(kBusyText);
}

void TModemLink::modemCommandTimeout() {
  if (state == lsWaitingForCall) ShowFailure(kInitFailedText);
}

void TModemLink::modemNoCarrier() {
  switch (state) {
    case lsDialling:
      ShowFailure(kNoCarrierText);
      break;
    case lsWaitingForCall:
      modemAnswerFailed();
      break;
    case lsMatch:
      if (!ModemLinkUp()) break;
      // The line said so, whatever the port's carrier line shows (a
      // device without modem lines shows it present for ever).
      carrierLost = true;
      if (match) match->LinkWatchTick();
      break;
    case lsClosed:
      break;
  }
}

// The caller hung up before the modems connected: the modem waits for the
// next ring as before.
void TModemLink::modemAnswerFailed() {
  if (state == lsWaitingForCall) ShowPrompt(kWaitingForCallText, clBlack);
}

// ---------------------------------------------------------------------------
// Data

void TModemLink::PortDataReceived(std::string_view bytes) {
  // Both the modem layer and the capture see every byte, a line at a
  // time, so that the frames behind a CONNECT in the same read already
  // belong to the match, and the frames before a NO CARRIER are still
  // handled.
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\r');
    const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
    const std::string_view piece = bytes.substr(0, length);
    bytes.remove_prefix(length);
    VaCapture1.Feed(piece);
    modem.DataReceived(piece);
  }
}

void TModemLink::VaCapture1Message(const std::string& data) {
  if (!ModemLinkUp()) return;
  if (onOpponentMessage) onOpponentMessage(RestoreCutDrawText(data));
}

// ---------------------------------------------------------------------------
// ISender, ILinkControl

void TModemLink::SendToOpponent(const std::string& text) {
  VaComm1.WriteText(FrameForSerial(text));
}

bool TModemLink::IsServerCopy() const { return ModemLinkUp() && modem.RingDetect == rdMsg; }

void TModemLink::CloseLinks() {
  // The port stays open until the main menu closes it.
  if (closeLanSockets) closeLanSockets();
}

bool TModemLink::CarrierDetect() const { return !carrierLost && VaComm1.GetModemStatus(msRlsd); }

}  // namespace zervik
