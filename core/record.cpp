// The game record: the line of each local move in short algebraic notation
// with Russian piece letters, and every change of the record panel.
#include "core/game.h"

namespace zervik {

namespace {

std::string PieceLetter(int code) {
  switch (code) {
    case pcRook:
      return "Л";
    case pcKnight:
      return "К";
    case pcBishop:
      return "С";
    case pcQueen:
      return "Ф";
    case pcKing:
      return "Кр";
    default:
      return "";
  }
}

bool IsMoveLine(const std::string& line) {
  return !line.empty() && line[0] >= '1' && line[0] <= '9' && line.find(". ") != std::string::npos;
}

}  // namespace

std::string TGame::FileLetter(int x) const {
  if (x < 1 || x > 8) return "";
  const std::size_t index = static_cast<std::size_t>(localColour == 0 ? x - 1 : 8 - x);
  return index < fileLetters.size() ? fileLetters.substr(index, 1) : "";
}

std::string TGame::RankDigit(int y) const { return std::to_string(localColour == 0 ? y : 9 - y); }

void TGame::RecordMove() {
  notePiece.clear();
  noteCapture.clear();
  noteTarget.clear();
  ++moveNumber;

  const int code = board[fromX][fromY];
  notePiece = PieceLetter(code);
  if (board[toX][toY] != 0) noteCapture = code == pcPawn ? FileLetter(fromX) + "x" : "x";
  noteTarget = FileLetter(toX) + RankDigit(toY);
  if (enPassantDone) {
    notePiece = FileLetter(fromX);
    noteTarget += " e.p.";
  }

  if (code != pcPawn) {
    // Only geometry counts: a rival pinned to its king still forces the
    // disambiguation.
    rivalElsewhere = rivalSameColumn = rivalSameRow = false;
    const int ownX = fromX, ownY = fromY;
    auto rivalReaches = [&](int c, int r) {
      if (board[c][r] != code) return false;
      fromX = c;
      fromY = r;
      CheckMoveLegal();
      fromX = ownX;
      fromY = ownY;
      return moveLegal;
    };
    for (int r = 1; r <= 8; ++r)
      for (int c = 1; c <= 8; ++c)
        if (r != ownY && c != ownX && rivalReaches(c, r)) rivalElsewhere = true;
    for (int r = 1; r <= 8; ++r)
      if (r != ownY && rivalReaches(ownX, r)) rivalSameColumn = true;
    for (int c = 1; c <= 8; ++c)
      if (c != ownX && rivalReaches(c, ownY)) rivalSameRow = true;
    if (rivalSameRow || rivalElsewhere) notePiece += FileLetter(ownX);
    if (rivalSameColumn) notePiece += RankDigit(ownY);
  }

  if (castleMark == '1' || castleMark == '4') {
    notePiece = "0-0";
    noteCapture.clear();
    noteTarget.clear();
  } else if (castleMark == '2' || castleMark == '3') {
    notePiece = "0-0-0";
    noteCapture.clear();
    noteTarget.clear();
  }
  if (drawOfferOpen && drawOfferToSend) noteTarget += "=";

  const std::string line = std::to_string(moveNumber) + ". " + notePiece + noteCapture + noteTarget;
  services.record->FocusAtEnd();
  services.record->AddLine(line);
  services.sender->SendToOpponent("logl" + line);
  services.view->PlayMoveSound();
}

void TGame::AddLogLine(const std::string& text) {
  if (text.empty()) return;
  // The command letter is ASCII, so dropping one byte never splits a
  // UTF-8 character; "=" is ASCII too and never occurs inside one.
  const char command = text[0];
  const std::string rest = text.substr(1);
  IRecordPanel& record = *services.record;
  if (command == 'l') {
    record.FocusAtEnd();
    record.AddLine(rest);
  } else if (command == 'a') {
    for (int i = record.LineCount() - 1; i >= 0; --i) {
      std::string line = record.Line(i);
      if (!IsMoveLine(line)) continue;
      const std::size_t offer = line.find('=');
      if (offer != std::string::npos) {
        line.erase(offer, 1);
        record.ReplaceLine(i, line + rest + "=");
      } else {
        record.ReplaceLine(i, line + rest);
      }
      return;
    }
  }
}

}  // namespace zervik
