// The command line of zervik-peer, the headless test peer. Parsing gives
// either the options or the reason they were refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace zervik {

inline constexpr int kPeerDefaultPort = 2804;

// "HOST", "HOST:PORT", "[V6]:PORT" or a bare IPv6 address ("::1",
// "fe80::1%eth0"), whose colons leave no room for a port.
struct THostAndPort {
  std::string host;
  int port = kPeerDefaultPort;
  friend bool operator==(const THostAndPort&, const THostAndPort&) = default;
};
std::optional<THostAndPort> ParseHostAndPort(const std::string& text);

struct TPeerOptions {
  bool listen = false;        // --listen PORT: the server copy
  int listenPort = 0;
  THostAndPort server;        // --connect HOST[:PORT]: the client copy
  // On a modem instead of the LAN: --modem-answer DEVICE waits for a call
  // and answers it (the server copy); --modem-dial DEVICE NUMBER dials.
  bool modemAnswer = false;
  bool modemDial = false;
  std::string modemDevice;
  std::string modemNumber;
  std::string name = "peer";
  int colour = 0;             // 0 white, 1 black
  std::uint32_t seed = 0;
  bool seedGiven = false;
  int games = 1;
  int offerDrawAfter = 0;     // 0: never
  bool acceptDraws = false;
  // Every timer interval is multiplied by this; the link watch keeps a
  // wall-clock minimum (kMinLinkWatchMs, kMinKeepAliveWaitMs).
  double timeScale = 1.0;
  bool listMoves = false;
  // --moves "e2e4 g1f3 ...": the peer's own moves of every game, in long
  // algebraic notation with the promotion piece ("e7e8q"); random moves
  // follow once they are used up.
  std::vector<std::string> scriptedMoves;
  // --chat TEXT: typed into the chat entry once, after the peer's first
  // move.
  std::string chatLine;
};

// Whether `text` is a move as --moves writes it: from and to square, and a
// promotion piece q, r, b or n.
bool IsScriptedMoveText(const std::string& text);

struct TPeerUsageError {
  std::string reason;
};

std::variant<TPeerOptions, TPeerUsageError> ParsePeerOptions(const std::vector<std::string>& args);

extern const char* const kPeerUsage;

}  // namespace zervik
