// Time per call of the core's work for one received move: the search for a
// legal move (mate and stalemate detection) and the whole handling of a
// "hod" (checks, board, search, answer, animation timer), without and with
// a check to answer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "core/game.h"
#include "core/silent_services.h"
#include "platform/timers.h"
#include "tests/core/position_setup.h"

namespace zervik {
namespace {

// A crowded middlegame: every piece still on the board, all of them out.
constexpr const char* kMiddlegame =
    "r1bq1rk1/pp2bppp/2n1pn2/2pp4/2PP4/2N1PN2/PP2BPPP/R1BQ1RK1 w - - 0 8";

TGame MiddlegameFor(TSilentServices& services, int colour) {
  TGame game(services.Services());
  const std::string error = testing::SetUpFromFen(game, kMiddlegame, colour);
  if (!error.empty()) std::abort();
  return game;
}

void BM_SearchLegalMoves(benchmark::State& state) {
  TSilentServices services;
  TGame game = MiddlegameFor(services, 0);
  for (auto _ : state) {
    game.SearchLegalMoves();
    benchmark::DoNotOptimize(game.noLegalMove);
  }
}
BENCHMARK(BM_SearchLegalMoves);

// The copy per iteration is part of BM_ReceivedMove; this shows its share.
void BM_CopyGame(benchmark::State& state) {
  TSilentServices services;
  const TGame game = MiddlegameFor(services, 1);
  for (auto _ : state) {
    TGame copy = game;
    benchmark::DoNotOptimize(copy.board);
  }
}
BENCHMARK(BM_CopyGame);

// Black's copy receiving white's c4xd5.
void BM_ReceivedMove(benchmark::State& state) {
  TSilentServices services;
  const TGame game = MiddlegameFor(services, 1);
  for (auto _ : state) {
    TGame copy = game;
    if (!copy.ApplyOpponentMove("34.45")) {
      state.SkipWithError("the move was dropped");
      break;
    }
    services.timers.FreeTimers(tagAnimation);
  }
}
BENCHMARK(BM_ReceivedMove);

// Black's copy receiving Bc4xf7+: the search finds the escapes, and the
// check is answered with "loga+" and marked in the record.
constexpr const char* kBeforeCheck =
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq - 0 5";

void BM_ReceivedCheckingMove(benchmark::State& state) {
  TSilentServices services;
  TGame game(services.Services());
  if (!testing::SetUpFromFen(game, kBeforeCheck, 1).empty()) std::abort();
  for (auto _ : state) {
    TGame copy = game;
    if (!copy.ApplyOpponentMove("34.67") || !copy.kingInCheck || copy.noLegalMove) {
      state.SkipWithError("the check was not applied as a check");
      break;
    }
    services.timers.FreeTimers(tagAnimation);
  }
}
BENCHMARK(BM_ReceivedCheckingMove);

// White's own move c4xd5 from the press to the sent "hod".
void BM_LocalMove(benchmark::State& state) {
  TSilentServices services;
  const TGame game = MiddlegameFor(services, 0);
  for (auto _ : state) {
    TGame copy = game;
    copy.PickUpPiece(copy.SquareLeft(3) + 30, copy.SquareTop(4) + 30);
    copy.DragPiece(copy.SquareLeft(4) + 30, copy.SquareTop(5) + 30);
    copy.DropPiece();
    if (copy.myTurn) {
      state.SkipWithError("the move was refused");
      break;
    }
    benchmark::DoNotOptimize(copy.board);
  }
}
BENCHMARK(BM_LocalMove);

}  // namespace
}  // namespace zervik

BENCHMARK_MAIN();
