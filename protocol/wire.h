// The messages between two copies of Zervik (protocol version 100): how a
// message is framed for the link, how the received bytes are cut back into
// messages, and how a message is classified by its tag.
//
// Wire grammar. On the wire every character is one Windows-1251 byte; inside
// the program every text is UTF-8, and the conversion happens only in this
// file, after the cutting, so a read boundary can never split a character.
//
//   tcp-stream     = *( message "::>" )        cut at the first "::>"
//   serial-stream  = *( noise / frame )
//   frame          = ">" body "/"               a ">" inside a body is text
//   noise          = any character outside a frame (modem responses)
//   message        = tag payload
//   tag            = 3 characters, compared case-sensitively
//
//   "ver" number                  protocol version, "100"
//   "rbw" number                  colour priority, "0" or "1"
//   "oks" / "_ok"                 keep-alive and its answer
//   "bla" name / "whi" name       colour pick; the name may be empty
//   "vrz" ( "b" / "w" )           colour claim
//   "vrz" ( "y" / "n" )           answer to a claim
//   "new" / "acc" / "reg"         new game asked, accepted, refused
//   "dra"                         draw offer accepted
//   "ext"                         the opponent has left
//   "cht" name ": " text          chat line
//   "log" record-text             game record line or mark
//   "hod" [ "=" ] FX FY M TX TY   a move; "=" offers a draw with it
//       FX FY TX TY = "1" .. "8", in the sender's own view of the board
//       M           = "." ordinary, "1" "2" "3" "4" castling,
//                     "f" "l" "o" "k" promotion to queen, rook, bishop, knight
//   number         = [ "-" ] 1*digit
//
// Neither framing escapes anything: a text holding "::>" (TCP) or "/"
// (serial line) arrives cut there, as every peer expects.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/move_text.h"

namespace zervik {

inline constexpr int kProtocolVersion = 100;

inline constexpr std::string_view kTcpDelimiter = "::>";
inline constexpr char kSerialFrameStart = '>';
inline constexpr char kSerialFrameFinish = '/';

// The TCP reader never holds more than this many bytes of text that no
// "::>" has closed yet, so a peer that never frames cannot grow memory
// without bound. The longest message it dispatches leaves room for its own
// delimiter inside that limit.
inline constexpr std::size_t kMaxUnframedBytes = 64 * 1024;
inline constexpr std::size_t kMaxTcpMessageBytes = kMaxUnframedBytes - kTcpDelimiter.size();

// The serial capture keeps the last this-many characters of a longer frame.
inline constexpr std::size_t kMaxSerialMessageLength = 999;

// ---------------------------------------------------------------------------
// Framing for sending

// `utf8Text` as Windows-1251 bytes followed by "::>".
std::string FrameForTcp(const std::string& utf8Text);
// ">" + `utf8Text` as Windows-1251 bytes + "/".
std::string FrameForSerial(const std::string& utf8Text);

// Receives one cut message, already decoded to UTF-8.
using TMessageHandler = std::function<void(const std::string& utf8Message)>;

// ---------------------------------------------------------------------------
// Cutting received bytes into messages

// Cuts the bytes of a TCP connection at "::>". An incomplete rest waits for
// the next read. The handler may Reset() the reader (the link goes away
// while a message is handled): the rest of the old link's bytes is then
// dropped. Bytes fed from inside the handler are queued behind what is
// already held.
class TTcpReader {
 public:
  explicit TTcpReader(TMessageHandler onMessage);

  // The raw bytes of one socket read.
  void Feed(std::string_view bytes);
  // Forgets everything held: the next bytes come from a new link.
  void Reset();

  // Bytes held that no "::>" has closed yet.
  std::size_t HeldBytes() const { return receiveBuffer.size() - cutUpTo; }

 private:
  void CutMessages();
  void LimitHeldText();

  TMessageHandler onMessage;
  std::string receiveBuffer;
  std::size_t cutUpTo = 0;     // bytes before this are already handled
  std::size_t searchFrom = 0;  // no "::>" starts before this
  bool skippingOverlong = false;
  bool dispatching = false;
};

// The capture of framed messages on the serial line: ">" opens a frame, "/"
// closes it, characters outside a frame are dropped. The handler may
// Reset() the capture; bytes fed from inside the handler are queued.
class TSerialCapture {
 public:
  explicit TSerialCapture(TMessageHandler onMessage);

  void Feed(std::string_view bytes);
  void Reset();

 private:
  void Capture(std::string_view bytes);

  TMessageHandler onMessage;
  bool frameOpen = false;
  std::string frameBody;
  std::string queued;
  unsigned generation = 0;
  bool dispatching = false;
};

// ---------------------------------------------------------------------------
// Classification by tag

// The tags, in the order in which a received message is compared with them.
enum TMessageTag {
  mtVer,
  mtOks,
  mtOk,  // "_ok"
  mtRbw,
  mtVrz,
  mtCht,
  mtLog,
  mtDra,
  mtExt,
  mtNew,
  mtAcc,
  mtReg,
  mtBla,
  mtWhi,
  mtHod,
  mtUnknown,  // a complete tag equal to none of the above: ignored
};

// The three characters of a known tag ("ver", "_ok", ...); empty for
// mtUnknown.
std::string_view TagText(TMessageTag tag);

struct TReceived {
  TMessageTag tag = mtUnknown;
  std::string messageTag;  // the first three characters, as received
  // What the tag's handler works on: the text after the tag for "ver",
  // "rbw", "vrz", "cht", "log", "bla", "whi" and "hod"; the whole message
  // for the others.
  std::string payload;
};

// Empty for a message shorter than three characters, which has no tag.
std::optional<TReceived> ClassifyMessage(const std::string& utf8Message);

// The payload of "ver" or "rbw" read as a decimal number; empty when it is
// not one (or does not fit an int).
std::optional<int> ParseWireNumber(std::string_view payload);

// ---------------------------------------------------------------------------
// The "hod" payload

// The move of a "hod" in the sender's view, as the game core reads and
// writes it: one parser for the program and its tests.
using THodMove = TMoveText;

enum THodError {
  heWrongLength,     // not five characters after the optional "="
  heBadCoordinate,   // a coordinate outside "1" .. "8"
  heBadMark,         // a kind-of-move character outside ". 1 2 3 4 f l o k"
  heSameSquare,      // the piece would not move
};

// Checks the payload of a received "hod" (the text after the tag). A move
// that comes back has coordinates that can index the board.
std::variant<THodMove, THodError> ParseHodPayload(std::string_view payload);

// "52.54", "=57f58". The move's coordinates must be 1 .. 8.
std::string FormatHodPayload(const THodMove& move);
// "hod" + FormatHodPayload(move).
std::string BuildHodMessage(const THodMove& move);

}  // namespace zervik
