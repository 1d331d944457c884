// The modem command layer `modem`: the Hayes command and response list, the
// initialisation, dialling, answering a ring, and the time limits on the
// response to each command. It knows nothing of Qt or of the port's device:
// it writes through a small port interface, is fed every received byte by
// the port's owner, and reports through its events. Tests drive it with a
// scripted fake port and a virtual clock.
//
// Response grammar (what the modem sends back):
//   response = *LF text RTERM      line feeds are ignored wherever they are
//   text     = ROK / RBUSY / RVOICE / RNOCARRIER / RNODIALTONE / RERROR
//            / RRING               compared with the whole line
//            / RCONNECT *char      a prefix: "CONNECT 115200" is passed on
// Any other line (the modem's echo of a command, a frame of the match
// running over the line) matches nothing and is dropped.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zervik {

class TTimers;

// What the modem layer needs of the serial port under it.
class IModemPort {
 public:
  virtual ~IModemPort() = default;
  // Queues the bytes for sending; false when nothing could be written (a
  // closed port).
  virtual bool WriteText(const std::string& bytes) = 0;
};

enum TRingDetect {
  rdNone,  // rings are not reported
  rdMsg,   // the modem's "RING" response line
  rdLine,  // the ring-indicator line of the port (RingLineRaised)
};

// Why a command was not sent.
enum TModemRefusal {
  mfWaiting,      // a command is still waiting for its response
  mfNoCommand,    // the Config list holds no such command
  mfWriteFailed,  // the port took nothing (closed)
};

// Timers of the modem layer. No other part of the program uses these tags.
inline constexpr int tagModemCommand = 200;  // CommandTimeout of Init
inline constexpr int tagModemDial = 201;     // DialTimeout of Dial
inline constexpr int tagModemAnswer = 202;   // AnswerTimeout of an answered ring
inline constexpr int tagModemPause = 203;    // a "~" inside a command

inline constexpr int kDefaultCommandTimeoutMs = 5000;
inline constexpr int kDefaultDialTimeoutMs = 60000;
inline constexpr int kDefaultAnswerTimeoutMs = 30000;
// One "~" of a command: what a modem needs as guard time around "+++".
inline constexpr int kCommandPauseMs = 500;
// A response line longer than this is no response of a modem: it is the
// match's data, and is not kept.
inline constexpr std::size_t kMaxResponseLineLength = 128;

// The Config list in its order and notation: "^M" is a carriage return and
// "~" a short pause.
std::vector<std::string> DefaultModemConfig();
// A Config value in the bytes it stands for: "^M" as a carriage return.
// A "~" stays: it is a pause, and the sender cuts the command there.
std::string DecodeModemNotation(std::string_view value);

class TModem {
 public:
  // Timers carry tagModem* + `timerTagOffset`, so that several modems can
  // share one timer facility.
  TModem(IModemPort& port, TTimers& timers, int timerTagOffset = 0);
  ~TModem();  // frees its timers: their handlers hold this object
  TModem(const TModem&) = delete;
  TModem& operator=(const TModem&) = delete;

  // ---- Settings ----
  bool Active = true;  // an inactive modem sends nothing and reports nothing
  std::vector<std::string> Config = DefaultModemConfig();
  TRingDetect RingDetect = rdNone;
  int CommandTimeout = kDefaultCommandTimeoutMs;
  int DialTimeout = kDefaultDialTimeoutMs;
  int AnswerTimeout = kDefaultAnswerTimeoutMs;

  // ---- Events ----
  // A ring; setting `acceptCall` answers it with ANSWERCMD.
  std::function<void(int rings, bool& acceptCall)> OnRingDetect;
  std::function<void(const std::string& connectString)> OnConnect;
  std::function<void()> OnBusy;
  std::function<void()> OnCommandTimeout;  // Init got no response in time
  std::function<void()> OnVoice;
  std::function<void()> OnNoCarrier;
  std::function<void()> OnNoDialTone;
  std::function<void()> OnError;
  std::function<void()> OnDialTimeout;
  std::function<void()> OnAnswerTimeout;
  std::function<void()> OnOk;

  // ---- Commands ----
  // INITCMD; waits CommandTimeout for any response.
  [[nodiscard]] std::optional<TModemRefusal> Init();
  // DIALCMD + number + DIALTERM; waits DialTimeout for the outcome.
  [[nodiscard]] std::optional<TModemRefusal> Dial(const std::string& number);
  // Stops waiting for the response to the current command (the modem is
  // told nothing).
  void Cancel();

  // ---- From the port's owner ----
  void DataReceived(std::string_view bytes);
  // The ring-indicator line came on (counted only with rdLine).
  void RingLineRaised();

  // ---- State ----
  enum TWaiting { wtNothing, wtCommand, wtDial, wtAnswer };
  TWaiting Waiting() const { return waiting; }
  // Between a CONNECT and the next NO CARRIER (or Cancel).
  bool Connected() const { return connected; }
  // Rings reported since the last Init, answer or Cancel.
  int Rings() const { return rings; }
  // A Config value by its key ("DIALCMD"), as written in the list.
  std::optional<std::string> ConfigValue(std::string_view key) const;

 private:
  std::optional<TModemRefusal> SendCommand(std::string_view key, const std::string& tail,
                                           TWaiting waitFor, int timerTag, int limitMs);
  bool WriteCommand(const std::string& decoded);
  void WriteNextSegment();
  void StartWait(TWaiting waitFor, int timerTag, int limitMs);
  void StopWaiting();
  void HandleLine(const std::string& line);
  bool IsResponse(const std::string& line, std::string_view key) const;
  void Ring();
  void WaitTimedOut(TWaiting which);
  void Raise(const std::function<void()>& event);

  IModemPort& port;
  TTimers& timers;
  int tagOffset;
  TWaiting waiting = wtNothing;
  bool connected = false;
  int rings = 0;
  std::string line;
  bool lineTooLong = false;
  // What is left of a command cut by "~" pauses.
  std::vector<std::string> pendingSegments;
};

}  // namespace zervik
