// Two copies of the game joined the way the match joins them: what one sends
// reaches the other's handlers ("hod" to ApplyOpponentMove, "log" to the
// record-text handling), animations run on each copy's virtual clock and
// banners that hand over the turn do so when they are closed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "tests/core/test_services.h"

namespace zervik::testing {

struct TCopy {
  TCopy() : game(services.Services()) {}
  TCopy(const TCopy&) = delete;
  TCopy& operator=(const TCopy&) = delete;

  TRecordingServices services;
  TGame game;
  std::size_t delivered = 0;      // messages of this copy the other has received
  std::size_t bannersClosed = 0;  // banners of this copy closed so far

  // Local square of a real square name such as "e2".
  int X(std::string_view square) const {
    const int file = square[0] - 'a' + 1;
    return game.localColour == 0 ? file : 9 - file;
  }
  int Y(std::string_view square) const {
    const int rank = square[1] - '0';
    return game.localColour == 0 ? rank : 9 - rank;
  }

  // Presses on the piece, drags it onto the target and releases it, then
  // picks `promotion` (4, 1, 3, 2) in the chooser when one opens.
  void Move(std::string_view from, std::string_view to, int promotion = 0);
  // Moves with local squares.
  void MoveLocal(int x, int y, int tx, int ty, int promotion = 0);
  // Runs every animation to its end.
  void FinishAnimation();
  // Closes the banners shown so far, handing over the turn as they say.
  void CloseBanners();
};

class TTwoCopies {
 public:
  TTwoCopies();
  // Starts a game on both copies, as the dialog panel does when it closes.
  void StartGames();
  // Hands the messages `from` has sent since the last call to `to`.
  void Deliver(TCopy& from, TCopy& to);
  // Delivers both ways, finishes the animations and closes the banners until
  // nothing is left to do.
  void Settle();
  // A move on `mover`'s copy, then Settle.
  void Play(TCopy& mover, std::string_view from, std::string_view to, int promotion = 0);

  TCopy white, black;
};

}  // namespace zervik::testing
