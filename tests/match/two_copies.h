// Two whole copies of Zervik in one process on one virtual clock, joined by
// an in-memory connection that behaves like the TCP link: every message is
// framed with FrameForTcp, travels as Windows-1251 bytes, arrives after a
// short delay, possibly cut into several reads, and is cut back into
// messages by a TTcpReader. Delivery runs from a timer, never from inside
// the sender.
#pragma once

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/virtual_timers.h"
#include "protocol/headless_copy.h"
#include "protocol/wire.h"

namespace zervik::testing {

inline constexpr int kServer = 0;
inline constexpr int kClient = 1;
inline constexpr int kPipeLatencyMs = 1;
// Tags of the pipe's delivery timers and the copies' tag offsets: far from
// each other and from the program's own tags.
inline constexpr int kPipeTagBase = 5000;
inline constexpr int kCopyTagOffset[2] = {10000, 20000};

class TTwoCopies;

// One side of the connection: the copy's sender and link control.
class TPipeEnd final : public ISender, public ILinkControl {
 public:
  TPipeEnd(TTwoCopies& pipe, int side) : pipe(pipe), side(side) {}
  void SendToOpponent(const std::string& text) override;
  bool IsServerCopy() const override;
  void CloseLinks() override;
  bool CarrierDetect() const override { return true; }

  int closeCalls = 0;

 private:
  TTwoCopies& pipe;
  int side;
};

class TTwoCopies {
 public:
  explicit TTwoCopies(std::uint32_t seed = 1, THeadlessCopy::TOptions options = {})
      : chunking(seed),
        ends{TPipeEnd(*this, kServer), TPipeEnd(*this, kClient)},
        copies{MakeCopy(kServer, options), MakeCopy(kClient, options)},
        readers{TTcpReader([this](const std::string& m) { Deliver(kServer, m); }),
                TTcpReader([this](const std::string& m) { Deliver(kClient, m); })} {
    copies[kServer]->match.SeedCoinToss(seed);
    copies[kClient]->match.SeedCoinToss(seed + 1);
    copies[kServer]->match.playerName = copies[kServer]->nameField = "Сервер";
    copies[kClient]->match.playerName = copies[kClient]->nameField = "Клиент";
  }

  THeadlessCopy& Server() { return *copies[kServer]; }
  THeadlessCopy& Client() { return *copies[kClient]; }
  THeadlessCopy& Copy(int side) { return *copies[side]; }
  const THeadlessCopy& Copy(int side) const { return *copies[side]; }
  THeadlessCopy& Other(const THeadlessCopy& copy) {
    return &copy == copies[kServer].get() ? *copies[kClient] : *copies[kServer];
  }
  int SideOf(const THeadlessCopy& copy) const { return &copy == copies[kServer].get() ? kServer : kClient; }

  // Both copies see their link come up, as cs1Connect and ss1ClientConnect
  // do on a real connection.
  void Connect() {
    open = true;
    serverListening = true;
    copies[kServer]->LinkEstablished();
    copies[kClient]->LinkEstablished();
  }

  // Bytes arriving at `to` as one read, as if the other side had written
  // them (the fuzz target's way in).
  void InjectRead(int to, std::string_view bytes) {
    if (!readClosed[to]) readers[to].Feed(bytes);
  }

  // The cable is pulled: nothing more arrives either way, and neither copy
  // is told.
  void Cut() { cut = true; }

  void Advance(std::int64_t ms) { clock.Advance(ms); }
  // How often `side` has closed its links (CloseLinks).
  int CloseCalls(int side) const { return ends[side].closeCalls; }

  TVirtualTimers clock;
  // Every message each side sent while the connection was open, in order.
  std::vector<std::string> sent[2];
  // Every message each side received.
  std::vector<std::string> received[2];
  // Rewrites a message on its way from `side`; returns the text to send.
  std::function<std::string(int side, const std::string& text)> rewrite;
  // Cuts each delivery into several reads at random points.
  bool splitReads = true;

 private:
  friend class TPipeEnd;

  std::unique_ptr<THeadlessCopy> MakeCopy(int side, THeadlessCopy::TOptions options) {
    options.timerTagOffset = kCopyTagOffset[side];
    return std::make_unique<THeadlessCopy>(ends[side], ends[side], clock, options);
  }

  void Send(int from, const std::string& text) {
    if (!open) return;
    const std::string message = rewrite ? rewrite(from, text) : text;
    sent[from].push_back(message);
    if (cut) return;
    const int to = 1 - from;
    inFlight[to] += FrameForTcp(message);
    const int tag = kPipeTagBase + to;
    if (clock.HasTimer(tag)) return;
    clock.CreateTimer(tag, kPipeLatencyMs, [this, to, tag] {
      clock.FreeTimers(tag);
      std::string bytes;
      bytes.swap(inFlight[to]);
      if (readClosed[to]) return;
      std::size_t at = 0;
      while (at < bytes.size()) {
        std::size_t length = bytes.size() - at;
        if (splitReads && length > 1) length = 1 + chunking() % length;
        readers[to].Feed(std::string_view(bytes).substr(at, length));
        at += length;
      }
    });
  }

  void Deliver(int to, const std::string& message) {
    received[to].push_back(message);
    copies[to]->Receive(message);
  }

  void Close(int side) {
    ++ends[side].closeCalls;
    // What the closing side has written still arrives; it reads nothing
    // more, and nothing more can be written either way.
    if (open) readClosed[side] = true;
    open = false;
    if (side == kServer) serverListening = false;
  }

  std::mt19937 chunking;
  bool open = false;
  bool cut = false;
  bool serverListening = false;
  bool readClosed[2] = {false, false};
  std::string inFlight[2];
  TPipeEnd ends[2];
  std::unique_ptr<THeadlessCopy> copies[2];
  TTcpReader readers[2];
};

inline void TPipeEnd::SendToOpponent(const std::string& text) { pipe.Send(side, text); }
inline bool TPipeEnd::IsServerCopy() const { return side == kServer && pipe.serverListening; }
inline void TPipeEnd::CloseLinks() { pipe.Close(side); }

// The copy that holds colour priority 1 once the toss has been delivered.
inline THeadlessCopy& PriorityCopy(TTwoCopies& two) {
  return two.Server().match.colourPriority == 1 ? two.Server() : two.Client();
}

}  // namespace zervik::testing
