#include "tests/core/position_setup.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace zervik::testing {

namespace {

int CodeOfLetter(char letter) {
  switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'r':
      return pcRook;
    case 'n':
      return pcKnight;
    case 'b':
      return pcBishop;
    case 'q':
      return pcQueen;
    case 'k':
      return pcKing;
    case 'p':
      return pcPawn;
    default:
      return 0;
  }
}

char LetterOfCode(int code) {
  static constexpr char kLetters[] = ".RNBQKP";
  const char upper = kLetters[std::abs(code)];
  return code < 0 ? static_cast<char>(std::tolower(upper)) : upper;
}

// Sprite numbers a piece prefers, in order; any free number of its side
// serves when they are taken.
std::vector<int> PreferredSprites(int code) {
  const bool own = code > 0;
  const int base = own ? 0 : 16;
  switch (std::abs(code)) {
    case pcRook:
      return own ? std::vector<int>{1, 8} : std::vector<int>{17, 24};
    case pcKnight:
      return own ? std::vector<int>{2, 7} : std::vector<int>{18, 23};
    case pcBishop:
      return own ? std::vector<int>{3, 6} : std::vector<int>{19, 22};
    case pcQueen:
      return {base + 4};
    case pcKing:
      return {base + 5};
    default: {
      std::vector<int> pawns;
      for (int k = base + 9; k <= base + 16; ++k) pawns.push_back(k);
      return pawns;
    }
  }
}

// Puts `codes` on the board and gives every piece a sprite.
std::string PlaceCodes(TGame& game, const TBoardGrid& codes) {
  game.board = TBoardGrid{};
  for (int k = 1; k <= kSpriteCount; ++k) {
    game.PlaceSprite(k, 1, 1);
    game.ParkSprite(k);
    game.spriteCode[k] = 0;
  }
  std::array<bool, 33> taken{};
  auto give = [&](int k, int x, int y) {
    taken[k] = true;
    game.PlaceSprite(k, x, y);
    game.spriteCode[k] = codes[x][y];
  };
  // The sprites the program relies on by number first.
  struct TFixed {
    int code, x, y, sprite;
  };
  static constexpr TFixed kFixed[] = {
      {pcRook, 1, 1, 1}, {pcRook, 8, 1, 8}, {-pcRook, 8, 8, 17}, {-pcRook, 1, 8, 24}};
  std::array<std::array<bool, 9>, 9> placed{};
  int kings[2] = {0, 0};
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y) {
      game.board[x][y] = codes[x][y];
      if (codes[x][y] == pcKing || codes[x][y] == -pcKing) {
        const int side = codes[x][y] > 0 ? 0 : 1;
        if (++kings[side] > 1) return "more than one king of a side";
        give(side == 0 ? 5 : 21, x, y);
        placed[x][y] = true;
      }
    }
  for (const auto& f : kFixed)
    if (codes[f.x][f.y] == f.code) {
      give(f.sprite, f.x, f.y);
      placed[f.x][f.y] = true;
    }
  for (int y = 1; y <= 8; ++y)
    for (int x = 1; x <= 8; ++x) {
      const int code = codes[x][y];
      if (code == 0 || placed[x][y]) continue;
      int sprite = 0;
      for (int k : PreferredSprites(code))
        if (!taken[k]) {
          sprite = k;
          break;
        }
      const int first = code > 0 ? 1 : 17;
      for (int k = first; sprite == 0 && k < first + 16; ++k)
        if (!taken[k] && k != first + 4) sprite = k;  // the king's number stays free
      if (sprite == 0) return "more than sixteen pieces of a side";
      give(sprite, x, y);
    }

  game.gameOver = false;
  game.myTurn = true;
  game.pieceDragging = false;
  game.promotionPending = false;
  game.activeSprite = 0;
  game.leftRookMoved = game.rightRookMoved = true;
  game.kingMoved = false;
  game.enPassantFile = 0;
  game.enPassantDone = false;
  game.castleMark = '.';
  game.moveNumber = 0;
  game.drawOfferOpen = game.drawOfferToSend = game.drawOfferReceived = false;
  game.capturedSprite = 0;
  game.positionHistory.clear();
  game.historyEnPassant.clear();
  game.historyLeftCastle.clear();
  game.historyRightCastle.clear();
  return {};
}

}  // namespace

std::string SetUpBoard(TGame& game, const std::array<std::string_view, 8>& rows) {
  TBoardGrid codes{};
  for (int row = 0; row < 8; ++row) {
    if (rows[row].size() != 8) return "row " + std::to_string(row + 1) + " is not 8 characters";
    for (int x = 1; x <= 8; ++x) {
      const char c = rows[row][x - 1];
      if (c == '.') continue;
      const int code = CodeOfLetter(c);
      if (code == 0) return std::string("unknown piece letter ") + c;
      codes[x][8 - row] =
          static_cast<std::int8_t>(std::isupper(static_cast<unsigned char>(c)) ? code : -code);
    }
  }
  return PlaceCodes(game, codes);
}

std::string SetUpFromFen(TGame& game, std::string_view fen, int localColour) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : fen) {
    if (c == ' ') {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  if (fields.size() < 4) return "a FEN needs placement, side, castling and en passant";

  const bool white = localColour == 0;
  auto column = [white](int file) { return white ? file : 9 - file; };  // file 1 = a
  auto row = [white](int rank) { return white ? rank : 9 - rank; };

  TBoardGrid codes{};
  int rank = 8, file = 1;
  for (char c : fields[0]) {
    if (c == '/') {
      if (file != 9) return "a rank of the placement is not 8 squares";
      --rank;
      file = 1;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const int code = CodeOfLetter(c);
      if (code == 0 || file > 8 || rank < 1) return std::string("bad placement at ") + c;
      const int pieceColour = std::isupper(static_cast<unsigned char>(c)) ? 0 : 1;
      codes[column(file)][row(rank)] =
          static_cast<std::int8_t>(pieceColour == localColour ? code : -code);
      ++file;
    }
    if (file > 9) return "a rank of the placement is longer than 8 squares";
  }
  if (rank != 1 || file != 9) return "the placement is not 8 ranks";
  if (fields[1] != "w" && fields[1] != "b") return "side to move is not w or b";

  game.localColour = static_cast<std::uint8_t>(localColour);
  if (std::string error = PlaceCodes(game, codes); !error.empty()) return error;

  const int toMove = fields[1] == "w" ? 0 : 1;
  game.myTurn = toMove == localColour;
  const std::string& castling = fields[2];
  auto has = [&castling](char c) { return castling.find(c) != std::string::npos; };
  // The left rook is the one on column 1: file a for white, file h for black.
  if (white) {
    game.leftRookMoved = !has('Q');
    game.rightRookMoved = !has('K');
  } else {
    game.leftRookMoved = !has('k');
    game.rightRookMoved = !has('q');
  }
  game.kingMoved = false;

  const std::string& ep = fields[3];
  if (ep != "-") {
    if (ep.size() != 2 || ep[0] < 'a' || ep[0] > 'h') return "bad en passant square";
    if (game.myTurn) {
      const int x = column(ep[0] - 'a' + 1);
      // The program notes the file only when an own pawn can take.
      if ((x > 1 && game.board[x - 1][5] == pcPawn) || (x < 8 && game.board[x + 1][5] == pcPawn))
        game.enPassantFile = x;
    }
  }
  return {};
}

std::array<std::string, 8> BoardRows(const TGame& game) {
  std::array<std::string, 8> rows;
  for (int r = 0; r < 8; ++r)
    for (int x = 1; x <= 8; ++x) rows[r] += LetterOfCode(game.board[x][8 - r]);
  return rows;
}

std::string SpriteMismatch(const TGame& game) {
  for (int x = 1; x <= 8; ++x)
    for (int y = 1; y <= 8; ++y) {
      const int k = game.SpriteOn(x, y);
      const int code = game.board[x][y];
      const std::string square = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
      if (code != 0 && k == 0) return "no sprite on " + square;
      if (code == 0 && k != 0) return "sprite " + std::to_string(k) + " on empty " + square;
      if (k != 0 && game.spriteCode[k] != code)
        return "sprite " + std::to_string(k) + " shows " + std::to_string(game.spriteCode[k]) +
               " on " + square + " holding " + std::to_string(code);
    }
  // Two sprites on one square would hide each other.
  for (int a = 1; a <= kSpriteCount; ++a)
    for (int b = a + 1; b <= kSpriteCount; ++b)
      if (!game.IsParked(a) && game.spriteX[a] == game.spriteX[b] &&
          game.spriteY[a] == game.spriteY[b])
        return "sprites " + std::to_string(a) + " and " + std::to_string(b) + " share a square";
  return {};
}

}  // namespace zervik::testing
