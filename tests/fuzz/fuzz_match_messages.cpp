// Arbitrary bytes, cut into arbitrary reads, arriving at one copy of a
// match in each of its phases, while its player keeps acting. Nothing may
// crash, read out of bounds or overflow, and the board must keep holding
// piece codes.
//
// Input: the first byte chooses the phase; then records of
//   control byte:  low four bits  the time that passes after the read,
//                                 in steps of 100 ms
//                  bit 4          the local player acts after the read
//                                 (a move, a colour pick, an answer ...)
//                  bit 5          a chat line is typed
//   length byte:   the number of bytes of the read that follow
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string_view>

#include "core/move_list.h"
#include "tests/match/two_copies.h"

namespace {

using namespace zervik;
using namespace zervik::testing;

enum TPhase { phNoLink, phColourChoice, phGame, phGameOver, phAskedForNewGame, phAskingForNewGame, phCount };

constexpr int kVictim = kClient;
constexpr int kSettleMs = 20;
constexpr int kMoveMs = 500;

void Play(TTwoCopies& two, THeadlessCopy& copy, std::mt19937& random) {
  if (!copy.CanMove()) return;
  const std::vector<TLocalMove> moves = ListLocalMoves(copy.game);
  if (!moves.empty()) copy.PlayMove(moves[random() % moves.size()]);
  two.Advance(kMoveMs);
}

void StartGame(TTwoCopies& two) {
  two.Connect();
  two.Advance(kSettleMs);
  two.Server().PickColour(0);
  two.Advance(kSettleMs);
  two.Client().PickColour(1);
  two.Advance(kSettleMs);
}

void EnterPhase(TTwoCopies& two, TPhase phase, std::mt19937& random) {
  switch (phase) {
    case phNoLink:
      return;
    case phColourChoice:
      two.Connect();
      two.Advance(kSettleMs);
      return;
    case phGame:
      StartGame(two);
      for (int i = 0; i < 4; ++i) {
        Play(two, two.Server(), random);
        Play(two, two.Client(), random);
      }
      return;
    case phGameOver:
      StartGame(two);
      two.Server().ClickDrawItem();
      Play(two, two.Server(), random);
      two.Client().ClickDrawItem();
      two.Advance(kSettleMs);
      return;
    case phAskedForNewGame:
      StartGame(two);
      Play(two, two.Server(), random);
      two.Server().RequestNewGame();
      two.Advance(kSettleMs);
      return;
    case phAskingForNewGame:
      StartGame(two);
      Play(two, two.Server(), random);
      two.Client().RequestNewGame();
      two.Advance(kSettleMs);
      return;
    case phCount:
      return;
  }
}

// What the local player may do at any moment.
void Act(THeadlessCopy& copy, std::mt19937& random) {
  switch (copy.screen.screenState) {
    case ssPlayerSetup:
      copy.PickColour(static_cast<int>(random() % 2));
      break;
    case ssNewGameQuery:
      copy.AnswerNewGame(random() % 2 == 0);
      break;
    default:
      if (copy.CanMove()) {
        const std::vector<TLocalMove> moves = ListLocalMoves(copy.game);
        if (!moves.empty()) copy.PlayMove(moves[random() % moves.size()]);
      } else if (random() % 4 == 0) {
        copy.ClickDrawItem();
      } else if (random() % 4 == 0) {
        copy.RequestNewGame();
      }
      break;
  }
}

void CheckBoard(const TGame& game) {
  for (int x = 0; x <= 8; ++x)
    for (int y = 0; y <= 8; ++y)
      if (game.board[x][y] < -6 || game.board[x][y] > 6) std::abort();
  if (game.localColour > 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::mt19937 random(data[0]);
  TTwoCopies two(1 + data[0] / phCount);
  two.splitReads = false;
  EnterPhase(two, static_cast<TPhase>(data[0] % phCount), random);
  THeadlessCopy& victim = two.Copy(kVictim);
  std::size_t at = 1;
  while (at + 2 <= size) {
    const std::uint8_t control = data[at];
    const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
    at += 2;
    two.InjectRead(kVictim, std::string_view(reinterpret_cast<const char*>(data + at), length));
    at += length;
    if (control & 0x10) Act(victim, random);
    if (control & 0x20) victim.TypeChat("nah" + std::to_string(random() % 100));
    two.Advance((control & 0x0F) * 100);
    CheckBoard(victim.game);
  }
  // Let every timer the input started run out.
  two.Advance(60000);
  CheckBoard(victim.game);
  return 0;
}
