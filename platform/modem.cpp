#include "platform/modem.h"

#include <utility>

#include "platform/timers.h"

namespace zervik {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kPause = '~';

}  // namespace

std::vector<std::string> DefaultModemConfig() {
  return {
      "RESETCMD=ATZ^M",
      "DIALCMD=ATDT",
      "DIALTERM=^M",
      "HANGUPCMD=+++~~~ATH0^M",
      "INITCMD=ATZE1M1^M",
      "ANSWERCMD=ATA^M",
      "ROK=OK",
      "RCONNECT=CONNECT",
      "RBUSY=BUSY",
      "RVOICE=VOICE",
      "RNOCARRIER=NO CARRIER",
      "RNODIALTONE=NO DIALTONE",
      "RERROR=ERROR",
      "RRING=RING",
      "RTERM=^M",
  };
}

std::string DecodeModemNotation(std::string_view value) {
  std::string bytes;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '^' && i + 1 < value.size() && value[i + 1] == 'M') {
      bytes += kCarriageReturn;
      ++i;
    } else {
      bytes += value[i];
    }
  }
  return bytes;
}

TModem::TModem(IModemPort& port, TTimers& timers, int timerTagOffset)
    : port(port), timers(timers), tagOffset(timerTagOffset) {}

TModem::~TModem() {
  timers.FreeTimers(tagModemCommand + tagOffset);
  timers.FreeTimers(tagModemDial + tagOffset);
  timers.FreeTimers(tagModemAnswer + tagOffset);
  timers.FreeTimers(tagModemPause + tagOffset);
}

std::optional<std::string> TModem::ConfigValue(std::string_view key) const {
  for (const std::string& entry : Config) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    if (std::string_view(entry).substr(0, equals) == key) return entry.substr(equals + 1);
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Commands

std::optional<TModemRefusal> TModem::Init() {
  rings = 0;
  return SendCommand("INITCMD", "", wtCommand, tagModemCommand, CommandTimeout);
}

std::optional<TModemRefusal> TModem::Dial(const std::string& number) {
  // The terminator is part of the command: a modem acts on a line only
  // when its carriage return arrives.
  const std::optional<std::string> term = ConfigValue("DIALTERM");
  return SendCommand("DIALCMD", number + term.value_or("^M"), wtDial, tagModemDial, DialTimeout);
}

void TModem::Cancel() {
  StopWaiting();
  pendingSegments.clear();
  timers.FreeTimers(tagModemPause + tagOffset);
  connected = false;
  rings = 0;
}

std::optional<TModemRefusal> TModem::SendCommand(std::string_view key, const std::string& tail,
                                                 TWaiting waitFor, int timerTag, int limitMs) {
  if (waiting != wtNothing || !pendingSegments.empty()) return mfWaiting;
  const std::optional<std::string> command = ConfigValue(key);
  if (!command) return mfNoCommand;
  if (!Active) return std::nullopt;
  if (!WriteCommand(DecodeModemNotation(*command + tail))) return mfWriteFailed;
  StartWait(waitFor, timerTag, limitMs);
  return std::nullopt;
}

// Writes up to the first "~"; the rest follows pause by pause. False when
// the port took nothing.
bool TModem::WriteCommand(const std::string& decoded) {
  pendingSegments.clear();
  std::string segment;
  for (char c : decoded) {
    if (c == kPause) {
      pendingSegments.push_back(std::move(segment));
      segment.clear();
    } else {
      segment += c;
    }
  }
  pendingSegments.push_back(std::move(segment));
  const std::string first = std::move(pendingSegments.front());
  pendingSegments.erase(pendingSegments.begin());
  if (!first.empty() && !port.WriteText(first)) {
    pendingSegments.clear();
    return false;
  }
  if (first.empty() && pendingSegments.empty()) return true;
  if (!pendingSegments.empty())
    timers.CreateTimer(tagModemPause + tagOffset, kCommandPauseMs, [this] { WriteNextSegment(); });
  return true;
}

void TModem::WriteNextSegment() {
  if (pendingSegments.empty()) {
    timers.FreeTimers(tagModemPause + tagOffset);
    return;
  }
  const std::string segment = std::move(pendingSegments.front());
  pendingSegments.erase(pendingSegments.begin());
  if (!segment.empty()) port.WriteText(segment);
  if (pendingSegments.empty()) timers.FreeTimers(tagModemPause + tagOffset);
}

void TModem::StartWait(TWaiting waitFor, int timerTag, int limitMs) {
  StopWaiting();
  waiting = waitFor;
  timers.CreateTimer(timerTag + tagOffset, limitMs, [this, waitFor] { WaitTimedOut(waitFor); });
}

void TModem::StopWaiting() {
  waiting = wtNothing;
  timers.FreeTimers(tagModemCommand + tagOffset);
  timers.FreeTimers(tagModemDial + tagOffset);
  timers.FreeTimers(tagModemAnswer + tagOffset);
}

void TModem::WaitTimedOut(TWaiting which) {
  if (waiting != which) return;
  StopWaiting();
  switch (which) {
    case wtCommand:
      Raise(OnCommandTimeout);
      break;
    case wtDial:
      Raise(OnDialTimeout);
      break;
    case wtAnswer:
      Raise(OnAnswerTimeout);
      break;
    case wtNothing:
      break;
  }
}

void TModem::Raise(const std::function<void()>& event) {
  if (event) event();
}

// ---------------------------------------------------------------------------
// Responses

void TModem::DataReceived(std::string_view bytes) {
  if (!Active) return;
  const std::string term = DecodeModemNotation(ConfigValue("RTERM").value_or("^M"));
  const char terminator = term.empty() ? kCarriageReturn : term.front();
  for (char c : bytes) {
    if (c == kLineFeed && terminator != kLineFeed) continue;
    if (c == terminator) {
      const std::string complete = std::move(line);
      const bool drop = lineTooLong;
      line.clear();
      lineTooLong = false;
      // A handler may close the port or cancel; the rest of this read is
      // still looked at, since a modem's next line stands on its own.
      if (!drop && !complete.empty()) HandleLine(complete);
      continue;
    }
    if (lineTooLong) continue;
    if (line.size() >= kMaxResponseLineLength) {
      line.clear();
      lineTooLong = true;
      continue;
    }
    line += c;
  }
}

bool TModem::IsResponse(const std::string& text, std::string_view key) const {
  const std::optional<std::string> value = ConfigValue(key);
  return value && !value->empty() && text == *value;
}

void TModem::HandleLine(const std::string& text) {
  const std::optional<std::string> connect = ConfigValue("RCONNECT");
  if (connect && !connect->empty() && text.compare(0, connect->size(), *connect) == 0) {
    if (waiting != wtDial && waiting != wtAnswer) return;  // nobody asked for a call
    StopWaiting();
    connected = true;
    rings = 0;
    if (OnConnect) OnConnect(text);
    return;
  }
  if (IsResponse(text, "RRING")) {
    if (RingDetect == rdMsg) Ring();
    return;
  }
  if (IsResponse(text, "RNOCARRIER")) {
    // After a CONNECT this is the line going down; while dialling or
    // answering, the call that did not come about.
    if (!connected && waiting != wtDial && waiting != wtAnswer) return;
    connected = false;
    StopWaiting();
    Raise(OnNoCarrier);
    return;
  }
  if (connected) return;  // the other responses mean nothing during a call

  if (IsResponse(text, "ROK")) {
    if (waiting != wtCommand) return;
    StopWaiting();
    Raise(OnOk);
    return;
  }
  struct TFailure {
    std::string_view key;
    std::function<void()> TModem::*event;
  };
  static const TFailure failures[] = {
      {"RBUSY", &TModem::OnBusy},
      {"RVOICE", &TModem::OnVoice},
      {"RNODIALTONE", &TModem::OnNoDialTone},
      {"RERROR", &TModem::OnError},
  };
  for (const TFailure& failure : failures) {
    if (!IsResponse(text, failure.key)) continue;
    if (waiting == wtNothing) return;  // a late answer to a command given up
    StopWaiting();
    Raise(this->*failure.event);
    return;
  }
}

void TModem::RingLineRaised() {
  if (Active && RingDetect == rdLine) Ring();
}

void TModem::Ring() {
  // A ring while the answer is under way, or during a call, is the same
  // call: it is not answered twice.
  if (connected || waiting == wtAnswer || waiting == wtDial) return;
  ++rings;
  bool acceptCall = false;
  if (OnRingDetect) OnRingDetect(rings, acceptCall);
  if (!acceptCall || connected || waiting == wtAnswer || waiting == wtDial) return;
  // An Init still waiting has its answer: the modem is alive and ringing.
  StopWaiting();
  pendingSegments.clear();
  timers.FreeTimers(tagModemPause + tagOffset);
  const std::optional<std::string> answer = ConfigValue("ANSWERCMD");
  if (!answer || !WriteCommand(DecodeModemNotation(*answer))) {
    Raise(OnError);
    return;
  }
  rings = 0;
  StartWait(wtAnswer, tagModemAnswer, AnswerTimeout);
}

}  // namespace zervik
