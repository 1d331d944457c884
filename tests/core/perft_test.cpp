// Counting positions the way the program plays: two copies of the game, one
// in white's view and one in black's. A move is made on the mover's copy
// through the mouse path (press, drag, release, and for a promotion the
// pick in the chooser, four ways), its "hod" text is applied on the other
// copy, the animation runs to its end on the virtual clock, and the roles
// swap. Along the way the two boards must stay mirror images and every
// sprite must stand on its piece.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/silent_services.h"
#include "platform/timers.h"
#include "tests/core/position_setup.h"

namespace zervik::testing {
namespace {

class TPerftServices : public TSilentServices {
 public:
  void SendToOpponent(const std::string& text) override { sent.push_back(text); }
  std::vector<std::string> sent;
};

// Centres of the four pieces in the promotion chooser's picture.
constexpr int kPickPoints[4][2] = {{35, 35}, {100, 35}, {165, 35}, {230, 35}};

class TPerft {
 public:
  explicit TPerft(TPerftServices& services) : services_(services) {}

  std::uint64_t Count(const TGame& mover, const TGame& watcher, int depth) {
    std::uint64_t nodes = 0;
    // Only targets the geometry allows (or a king's castling step) go
    // through the whole round trip; the round trip decides the rest.
    TGame probe = mover;
    for (int x = 1; x <= 8 && failure_.empty(); ++x)
      for (int y = 1; y <= 8; ++y) {
        const int code = mover.board[x][y];
        if (code <= 0) continue;
        for (int tx = 1; tx <= 8; ++tx)
          for (int ty = 1; ty <= 8; ++ty) {
            if (tx == x && ty == y) continue;
            probe.fromX = x;
            probe.fromY = y;
            probe.toX = tx;
            probe.toY = ty;
            probe.CheckMoveLegal();
            const bool castlingStep = code == pcKing && y == 1 && ty == 1 && std::abs(tx - x) == 2;
            if (!probe.moveLegal && !castlingStep) continue;
            nodes += TryMove(mover, watcher, depth, x, y, tx, ty);
          }
      }
    return nodes;
  }

  const std::string& failure() const { return failure_; }

 private:
  std::uint64_t TryMove(const TGame& mover, const TGame& watcher, int depth, int x, int y, int tx,
                        int ty) {
    TGame moved = mover;
    services_.sent.clear();
    // Press a little off the centre and release so that the picture's
    // corner lands exactly on the target's corner.
    const int pressX = moved.SquareLeft(x) + 33, pressY = moved.SquareTop(y) + 28;
    if (!moved.PickUpPiece(pressX, pressY)) {
      Fail("no piece picked up on (" + std::to_string(x) + ", " + std::to_string(y) + ")");
      return 0;
    }
    moved.DragPiece(moved.SquareLeft(tx) + 33, moved.SquareTop(ty) + 28);
    moved.DropPiece();
    if (!moved.promotionPending) return Deliver(moved, watcher, depth);
    std::uint64_t nodes = 0;
    for (const auto& pick : kPickPoints) {
      TGame promoted = moved;
      services_.sent.clear();
      promoted.icanMouseDown(pick[0], pick[1]);
      nodes += Deliver(promoted, watcher, depth);
    }
    return nodes;
  }

  std::uint64_t Deliver(const TGame& moved, const TGame& watcher, int depth) {
    std::string hod;
    for (const auto& m : services_.sent)
      if (m.rfind("hod", 0) == 0) hod = m.substr(3);
    if (hod.empty()) return 0;  // refused: the own king would be attacked
    path_.push_back(hod);
    TGame received = watcher;
    if (!received.ApplyOpponentMove(hod)) Fail("the receiver dropped the move");
    for (int guard = 0; services_.timers.HasTimer(tagAnimation) && guard < 100; ++guard)
      services_.timers.RunNext();
    if (services_.timers.HasTimer(tagAnimation)) Fail("the animation does not end");
    CheckCopies(moved, received);
    std::uint64_t nodes = 1;
    if (depth > 1 && failure_.empty()) {
      // The check banner would hand over the turn when it closes; counting
      // does not wait for it.
      received.myTurn = true;
      received.gameOver = false;
      nodes = Count(received, moved, depth - 1);
    }
    path_.pop_back();
    return nodes;
  }

  void CheckCopies(const TGame& a, const TGame& b) {
    for (int x = 1; x <= 8; ++x)
      for (int y = 1; y <= 8; ++y)
        if (a.board[x][y] != -b.board[9 - x][9 - y]) {
          Fail("the boards differ at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
          return;
        }
    if (std::string m = SpriteMismatch(a); !m.empty()) Fail("mover: " + m);
    if (std::string m = SpriteMismatch(b); !m.empty()) Fail("receiver: " + m);
  }

  void Fail(const std::string& what) {
    if (!failure_.empty()) return;
    failure_ = what + " after hod";
    for (const auto& h : path_) failure_ += " " + h;
  }

  TPerftServices& services_;
  std::vector<std::string> path_;
  std::string failure_;
};

struct TPerftCase {
  const char* name;
  const char* fen;
  int depth;
  std::uint64_t nodes;
};

const TPerftCase kPerftCases[] = {
    {"Start1", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 1, 20},
    {"Start2", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 2, 400},
    {"Start3", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 3, 8902},
    {"Start4", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
    {"Kiwipete1", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 1, 48},
    {"Kiwipete2", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 2, 2039},
    {"Kiwipete3", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 3, 97862},
    {"RookEndgame1", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 1, 14},
    {"RookEndgame2", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 2, 191},
    {"RookEndgame3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 3, 2812},
    {"RookEndgame4", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 4, 43238},
    {"Promotions1", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 1, 6},
    {"Promotions2", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 2, 264},
    {"Promotions3", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
    {"Discovered1", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 1, 44},
    {"Discovered2", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 2, 1486},
    {"Discovered3", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
};

void PrintTo(const TPerftCase& c, std::ostream* os) { *os << c.fen << " depth " << c.depth; }

class PerftTest : public ::testing::TestWithParam<TPerftCase> {};

TEST_P(PerftTest, NodeCountMatches) {
  const TPerftCase& c = GetParam();
  TPerftServices services;
  TGame white(services.Services()), black(services.Services());
  ASSERT_EQ(SetUpFromFen(white, c.fen, 0), "") << c.fen;
  ASSERT_EQ(SetUpFromFen(black, c.fen, 1), "") << c.fen;
  const bool whiteToMove = white.myTurn;
  TPerft perft(services);
  const std::uint64_t nodes =
      whiteToMove ? perft.Count(white, black, c.depth) : perft.Count(black, white, c.depth);
  EXPECT_EQ(perft.failure(), "") << c.fen;
  EXPECT_EQ(nodes, c.nodes) << c.fen << " depth " << c.depth;
}

INSTANTIATE_TEST_SUITE_P(Positions, PerftTest, ::testing::ValuesIn(kPerftCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zervik::testing
