#include "core/move_text.h"

#include "core/types.h"

namespace zervik {

namespace {

constexpr std::size_t kMoveTextLength = 5;

bool IsCoordinate(char c) { return c >= '1' && c <= '8'; }

bool IsKind(char c) {
  switch (c) {
    case '.':
    case '1':
    case '2':
    case '3':
    case '4':
    case 'f':
    case 'l':
    case 'o':
    case 'k':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::variant<TMoveText, TRemoteMoveFault> ParseMoveText(std::string_view text) {
  TMoveText move;
  if (!text.empty() && text.front() == '=') {
    move.drawOffer = true;
    text.remove_prefix(1);
  }
  if (text.size() != kMoveTextLength) return TRemoteMoveFault::rfWrongLength;
  if (!IsCoordinate(text[0]) || !IsCoordinate(text[1]) || !IsCoordinate(text[3]) ||
      !IsCoordinate(text[4]))
    return TRemoteMoveFault::rfBadSquare;
  if (!IsKind(text[2])) return TRemoteMoveFault::rfBadKind;
  move.fromX = text[0] - '0';
  move.fromY = text[1] - '0';
  move.mark = text[2];
  move.toX = text[3] - '0';
  move.toY = text[4] - '0';
  return move;
}

std::string FormatMoveText(const TMoveText& move) {
  std::string text;
  if (move.drawOffer) text += '=';
  text += static_cast<char>('0' + move.fromX);
  text += static_cast<char>('0' + move.fromY);
  text += move.mark;
  text += static_cast<char>('0' + move.toX);
  text += static_cast<char>('0' + move.toY);
  return text;
}

std::optional<int> PromotionCode(char letter) {
  switch (letter) {
    case 'f':
      return pcQueen;
    case 'l':
      return pcRook;
    case 'o':
      return pcBishop;
    case 'k':
      return pcKnight;
    default:
      return std::nullopt;
  }
}

char PromotionLetter(int code) {
  switch (code) {
    case pcQueen:
      return 'f';
    case pcRook:
      return 'l';
    case pcBishop:
      return 'o';
    case pcKnight:
      return 'k';
    default:
      return '.';
  }
}

std::string PromotionRecordLetter(int code) {
  switch (code) {
    case pcQueen:
      return "Ф";
    case pcRook:
      return "Л";
    case pcBishop:
      return "С";
    case pcKnight:
      return "К";
    default:
      return "";
  }
}

}  // namespace zervik
