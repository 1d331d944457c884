// The game as one copy of Zervik holds it: the board in the local player's
// own view, the 32 piece sprites, castling and en passant state, the move
// counter and the position history, plus the rules of chess for the local
// side, making and applying moves, the game record and moving pieces with
// the mouse.
//
// The rule operations keep the program's shared-variable interface: they
// take no arguments, read `board` and the move squares `fromX`, `fromY`,
// `toX`, `toY`, and report in result flags (`moveLegal`, `kingInCheck`, ...).
// The record code relies on that: it moves `fromX`/`fromY` to other squares
// and calls CheckMoveLegal to find rival pieces.
//
// TGame is a value type: copying it copies the whole game state (the
// services are plain pointers and are shared by the copy), so a search or a
// trial move is a plain copy.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/move_text.h"
#include "core/services.h"
#include "core/types.h"

namespace zervik {

// One stored position: the 9 x 9 grid with row and column 0 unused.
using TBoardGrid = std::array<std::array<std::int8_t, 9>, 9>;

inline constexpr int kSpriteCount = 32;
inline constexpr int kBannerSlot = 33;

class TGame {
 public:
  TGame() = default;
  explicit TGame(const TGameServices& services) : services(services) {}

  TGameServices services;

  // ---- Board geometry (changed by the layout switch) ----
  int boardLeft = 9;
  int boardTop = 9;
  int boardWidth = 490;
  int boardHeight = 490;
  int squareWidth = 60;
  int squareHeight = 60;
  // Top-left pixel of square (x, y).
  int SquareLeft(int x) const { return boardLeft + 5 + (x - 1) * squareWidth; }
  int SquareTop(int y) const { return boardTop + 5 + (8 - y) * squareHeight; }

  // ---- Board and sprites ----
  TBoardGrid board{};
  std::array<std::int32_t, 34> spriteX{};  // 1..32 pieces, 33 the banner
  std::array<std::int32_t, 34> spriteY{};
  std::array<std::int8_t, 33> spriteCode{};  // 1..32

  // ---- Game state ----
  std::uint8_t localColour = 0;  // 0 white, 1 black
  bool myTurn = false;
  bool gameOver = false;
  bool pieceDragging = false;
  std::int32_t activeSprite = 0;
  std::int32_t fromX = 0, fromY = 0, toX = 0, toY = 0;
  std::int32_t hitX = 0, hitY = 0;
  bool leftRookMoved = false;
  bool kingMoved = false;
  bool rightRookMoved = false;
  std::int32_t enPassantFile = 0;
  bool enPassantDone = false;
  char castleMark = '.';
  std::int32_t moveNumber = 0;
  bool drawOfferOpen = false;
  bool drawOfferToSend = false;
  // The opponent's name, kept current by the match controller; the draw
  // offer notice names the opponent.
  std::string opponentName;

  // Position history for the repetition rule; slot n holds the position
  // after local move n. Grows as needed, so a game of any length fits.
  std::vector<TBoardGrid> positionHistory;
  std::vector<std::uint8_t> historyEnPassant;
  std::vector<std::uint8_t> historyLeftCastle;
  std::vector<std::uint8_t> historyRightCastle;

  // ---- Rule results ----
  bool moveLegal = false;
  bool castleOk = false;
  bool kingInCheck = false;
  bool noLegalMove = false;
  bool materialDraw = false;
  std::int32_t piecesOnPath = 0;

  // ---- Move execution ----
  std::int8_t movingCode = 0;
  std::int32_t promoFromX = 0, promoFromY = 0, promoToX = 0, promoToY = 0;
  bool promotionPending = false;  // the chooser is waiting for a pick
  bool drawOfferReceived = false;
  std::int32_t remoteFromX = 0, remoteFromY = 0, remoteToX = 0, remoteToY = 0;
  char remoteMark = '.';
  std::int32_t animSprite = 0, animRookSprite = 0, capturedSprite = 0;
  std::int32_t animStartX = 0, animStartY = 0, animTargetX = 0, animTargetY = 0;
  float animPosX = 0, animPosY = 0, animStepX = 0, animStepY = 0;
  std::int32_t rookStartX = 0, rookStartY = 0, rookTargetX = 0, rookTargetY = 0;
  float rookPosX = 0, rookPosY = 0, rookStepX = 0, rookStepY = 0;
  // Ticks the running animation has made; it ends after kAnimationTicks
  // whatever the geometry, so a sprite can never glide for ever.
  std::int32_t animTicks = 0;

  // ---- Record ----
  std::string notePiece, noteCapture, noteTarget;
  bool rivalElsewhere = false, rivalSameColumn = false, rivalSameRow = false;
  std::string fileLetters = "abcdefgh";

  // ---- Drag and drop ----
  std::int32_t grabOffsetX = 0, grabOffsetY = 0;

  // ---- Board model ----
  void StartNewGame();
  void LocateFromSquare();
  void LocateTargetSquare();
  void LoseCastlingRights(int x, int y);

  // ---- Rules (local side only) ----
  void CheckMoveLegal();
  void TryCastling();
  void CheckOwnKing();
  void SearchLegalMoves();
  void TestMaterialDraw(std::uint8_t side);

  // ---- Move execution ----
  void MakeLocalMove();
  // The test MakeLocalMove makes of the move (fromX, fromY) -> (toX, toY):
  // geometry, castling (which moves the rook when it is allowed), then the
  // move tried on the board with the own king looked at. Sets movingCode.
  bool TestLocalMove();
  void RemoveCapturedPiece();
  // The promotion pick at (X, Y) in the chooser's picture, any button.
  void icanMouseDown(int X, int Y);
  void CheckRepetition();
  // A received "hod" payload (without the tag). A payload that is not a
  // well-formed move in this position is dropped whole; returns whether the
  // move was applied. The animation timer it starts calls back into this
  // object, so the game must stay where it is until the animation ends.
  bool ApplyOpponentMove(const std::string& text);
  // The checks ApplyOpponentMove makes before it touches anything: the move
  // in the local view, or why it is refused.
  TReviewedMove ReviewOpponentMove(const std::string& text) const;
  void AnimateOpponentMove();
  // A received "log" payload: the game-end handling, then AddLogLine.
  void ApplyReceivedRecordText(const std::string& text);

  // ---- Record ----
  void RecordMove();
  void AddLogLine(const std::string& text);
  std::string FileLetter(int x) const;
  std::string RankDigit(int y) const;

  // ---- Drag and drop (the board part of the mouse handlers) ----
  // Left button press at (X, Y); returns true when a piece was picked up.
  bool PickUpPiece(int X, int Y);
  void DragPiece(int X, int Y);
  // Left button release; makes the move when one is being dragged. When the
  // turn was taken or the game ended during the drag, the picture goes back
  // to its square instead and the drag ends.
  void DropPiece();

  // Highest-numbered sprite 1..32 standing exactly on square (x, y), or 0.
  int SpriteOn(int x, int y) const;
  void ParkSprite(int k);
  // Puts sprite k exactly onto square (x, y).
  void PlaceSprite(int k, int x, int y);
  bool IsParked(int k) const { return spriteX[k] == boardLeft + boardWidth + 1; }

 private:
  // The castling (0 ... 3 for "1" ... "4") whose squares, pieces and flags
  // the move (fromX, fromY) -> (toX, toY) matches, or -1.
  int MatchingCastling() const;
  // Whether the king of castling `index` neither stands in check nor crosses
  // or lands on an attacked square. Leaves `board` as it found it.
  bool CastlingPathSafe(int index);
  // Whether the move (fromX, fromY) -> (toX, toY) is an en passant capture
  // by the own pawn `code`.
  bool IsEnPassantCapture(std::int8_t code) const;
  // Tries the move (fromX, fromY) -> (toX, toY) of `code` on the board and
  // runs CheckOwnKing; the board is put back afterwards.
  void TryMoveForCheck(std::int8_t code);
  bool SquareAttacked(int x, int y) const;
  bool StandsOn(int k, int x, int y) const {
    return spriteX[k] == SquareLeft(x) && spriteY[k] == SquareTop(y);
  }
  void SendMove(int fx, int fy, char mark, int tx, int ty);
  // The bare-king draw after a local move.
  void EndInMaterialDrawAfterLocalMove();
  void Banner(const std::string& text, int holdMs, bool setTurnOnClose, bool turnValue);
  void EnableDrawItem(bool enabled);
};

}  // namespace zervik
