// The rules of the local side, on boards drawn in the local view: the top
// line is row 8, the first character column 1; upper case the local
// player's pieces, lower case the opponent's.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "core/game.h"
#include "core/silent_services.h"
#include "tests/core/position_setup.h"

namespace zervik::testing {
namespace {

using TRows = std::array<std::string_view, 8>;

struct TMoveRow {
  const char* what;
  int fx, fy, tx, ty;
  bool legal;
  int enPassantFile = 0;
};

class RulesTest : public ::testing::Test {
 protected:
  void ExpectMoves(std::initializer_list<TMoveRow> rows) {
    for (const TMoveRow& row : rows) {
      game.enPassantFile = row.enPassantFile;
      EXPECT_EQ(Legal(row.fx, row.fy, row.tx, row.ty), row.legal) << row.what;
    }
  }
  void SetBoard(const TRows& rows) { ASSERT_EQ(SetUpBoard(game, rows), ""); }
  bool Legal(int fx, int fy, int tx, int ty) {
    game.fromX = fx;
    game.fromY = fy;
    game.toX = tx;
    game.toY = ty;
    game.CheckMoveLegal();
    return game.moveLegal;
  }
  TSilentServices services;
  TGame game{services.Services()};
};

TEST_F(RulesTest, PawnMoves) {
  // clang-format off
  SetBoard({"....k...",
            "........",
            "........",
            "..PpP...",
            ".P.....p",
            "p...n.N.",
            "PP..P.PP",
            "....K..."});
  // clang-format on
  ExpectMoves({
      {"double step over a piece", 5, 2, 5, 4, false},
      {"straight onto an opponent piece", 5, 2, 5, 3, false},
      {"straight onto an opponent pawn", 1, 2, 1, 3, false},
      {"double step onto an opponent piece", 8, 2, 8, 4, false},
      {"double step over an own piece", 7, 2, 7, 4, false},
      {"diagonal capture", 2, 2, 1, 3, true},
      {"diagonal onto an empty square", 2, 2, 3, 3, false},
      {"double step onto an own pawn", 2, 2, 2, 4, false},
      {"single step", 2, 4, 2, 5, true},
      {"double step not from row 2", 2, 4, 2, 6, false},
      {"backwards", 2, 4, 2, 3, false},
      {"sideways", 2, 4, 3, 4, false},
      {"en passant from the left", 3, 5, 4, 6, true, 4},
      {"en passant from the right", 5, 5, 4, 6, true, 4},
      {"diagonal beside the en passant file", 3, 5, 2, 6, false, 4},
      {"no en passant file", 3, 5, 4, 6, false, 0},
      {"straight on beside the double step", 5, 5, 5, 6, true, 4},
  });
}

TEST_F(RulesTest, EnPassantOnlyFromRow5) {
  // clang-format off
  SetBoard({"....k...",
            "........",
            "........",
            "........",
            "..Pp....",
            "........",
            "........",
            "....K..."});
  // clang-format on
  ExpectMoves({{"from row 4 onto the empty (4, 5)", 3, 4, 4, 5, false, 4}});
}

TEST_F(RulesTest, RookMoves) {
  // clang-format off
  SetBoard({"p...k..p",
            "........",
            "P.......",
            ".......p",
            "........",
            "........",
            "........",
            "R...K..R"});
  // clang-format on
  ExpectMoves({
      {"capture with nothing between", 8, 1, 8, 5, true},
      {"capture over an opponent piece", 8, 1, 8, 8, false},
      {"over an own piece", 1, 1, 1, 8, false},
      {"onto an own piece", 1, 1, 1, 6, false},
      {"up to an empty square", 1, 1, 1, 5, true},
      {"along the row", 1, 1, 4, 1, true},
      {"onto the own king", 1, 1, 5, 1, false},
      {"past the own king", 1, 1, 6, 1, false},
      {"diagonal", 1, 1, 2, 2, false},
      {"its own square", 8, 1, 8, 1, false},
  });
}

TEST_F(RulesTest, BishopQueenKingMoves) {
  // clang-format off
  SetBoard({"....k...",
            "........",
            "........",
            "........",
            "..P...p.",
            "........",
            "........",
            "...QKB.."});
  // clang-format on
  ExpectMoves({
      {"bishop up-right", 6, 1, 8, 3, true},
      {"bishop up-left, stopped short of the own pawn", 6, 1, 4, 3, true},
      {"bishop onto the own pawn", 6, 1, 3, 4, false},
      {"bishop past the own pawn", 6, 1, 2, 5, false},
      {"bishop straight", 6, 1, 6, 2, false},
      {"queen diagonal capture", 4, 1, 7, 4, true},
      {"queen past the captured square", 4, 1, 8, 5, false},
      {"queen straight up", 4, 1, 4, 8, true},
      {"queen onto the own king", 4, 1, 5, 1, false},
      {"queen in a knight's shape", 4, 1, 5, 3, false},
      {"king one step", 5, 1, 5, 2, true},
      {"king diagonal", 5, 1, 6, 2, true},
      {"king two sideways", 5, 1, 7, 1, false},
      {"king two up", 5, 1, 5, 3, false},
      {"king onto the own bishop", 5, 1, 6, 1, false},
  });
}

TEST_F(RulesTest, KnightMoves) {
  // clang-format off
  SetBoard({"....k...",
            "........",
            "........",
            "........",
            "........",
            "p.P.....",
            "PPP.....",
            ".N..K..."});
  // clang-format on
  ExpectMoves({
      {"jump over pieces onto an opponent piece", 2, 1, 1, 3, true},
      {"onto an own piece", 2, 1, 3, 3, false},
      {"onto an empty square", 2, 1, 4, 2, true},
      {"straight", 2, 1, 2, 3, false},
      {"diagonal", 2, 1, 4, 3, false},
  });
  EXPECT_EQ(game.castleMark, '.');
}

struct TCastlingRow {
  const char* name;
  TRows rows;
  int fx, tx;
  bool kingMoved, leftRookMoved, rightRookMoved;
  bool allowed;
  char mark = '.';
  int rookFrom = 0, rookTo = 0, rookSprite = 0;
};

void PrintTo(const TCastlingRow& row, std::ostream* os) { *os << row.name; }

class CastlingTest : public ::testing::TestWithParam<TCastlingRow> {};

TEST_P(CastlingTest, TryCastling) {
  const TCastlingRow& row = GetParam();
  TSilentServices services;
  TGame game(services.Services());
  ASSERT_EQ(SetUpBoard(game, row.rows), "");
  game.kingMoved = row.kingMoved;
  game.leftRookMoved = row.leftRookMoved;
  game.rightRookMoved = row.rightRookMoved;
  const TBoardGrid before = game.board;
  game.fromX = row.fx;
  game.fromY = 1;
  game.toX = row.tx;
  game.toY = 1;
  game.CheckMoveLegal();
  EXPECT_FALSE(game.moveLegal) << "only TryCastling may allow a king's two-square step";
  game.TryCastling();
  EXPECT_EQ(game.moveLegal, row.allowed);
  EXPECT_EQ(game.castleOk, row.allowed);
  EXPECT_EQ(game.castleMark, row.allowed ? row.mark : '.');
  if (!row.allowed) {
    EXPECT_EQ(game.board, before) << "a refused castling leaves the board alone";
    return;
  }
  EXPECT_EQ(game.board[row.rookFrom][1], 0);
  EXPECT_EQ(game.board[row.rookTo][1], pcRook);
  EXPECT_EQ(game.board[row.fx][1], pcKing) << "the caller moves the king";
  EXPECT_EQ(game.spriteX[row.rookSprite], game.SquareLeft(row.rookTo));
  EXPECT_EQ(game.spriteY[row.rookSprite], game.SquareTop(1));
}

constexpr TRows WhiteWith(std::string_view row8) {
  return {row8, "........", "........", "........", "........", "........", "........", "R...K..R"};
}

// clang-format off
const TCastlingRow kCastlingRows[] = {
    {"ShortFree", WhiteWith("....k..."), 5, 7, false, false, false, true, '1', 8, 6, 8},
    {"ShortWithTheRookSquareAttacked", WhiteWith("....k..r"), 5, 7, false, false, false, true,
     '1', 8, 6, 8},
    {"ShortCrossingAttacked", WhiteWith("....k.r."), 5, 7, false, false, false, false},
    {"ShortLandingAttacked", WhiteWith("k.....r."), 5, 7, false, false, false, false},
    {"ShortOutOfCheck", WhiteWith("k...r..."), 5, 7, false, false, false, false},
    {"ShortAfterTheKingMoved", WhiteWith("....k..."), 5, 7, true, false, false, false},
    {"ShortAfterTheRightRookMoved", WhiteWith("....k..."), 5, 7, false, false, true, false},
    {"ShortAfterOnlyTheLeftRookMoved", WhiteWith("....k..."), 5, 7, false, true, false, true,
     '1', 8, 6, 8},
    {"LongFree", WhiteWith("....k..."), 5, 3, false, false, false, true, '2', 1, 4, 1},
    {"LongWithB1Attacked", WhiteWith(".r..k..."), 5, 3, false, false, false, true, '2', 1, 4,
     1},
    {"LongWithTheRookSquareAttacked", WhiteWith("r...k..."), 5, 3, false, false, false, true,
     '2', 1, 4, 1},
    {"LongLandingAttacked", WhiteWith("..r.k..."), 5, 3, false, false, false, false},
    {"LongCrossingAttacked", WhiteWith("...rk..."), 5, 3, false, false, false, false},
    {"LongAfterTheLeftRookMoved", WhiteWith("....k..."), 5, 3, false, true, false, false},
    {"ShortWithAPieceBetween",
     {"....k...", "........", "........", "........", "........", "........", "........",
      "R...K.NR"},
     5, 7, false, false, false, false},
    {"LongWithAPieceOnB1",
     {"....k...", "........", "........", "........", "........", "........", "........",
      "RN..K..R"},
     5, 3, false, false, false, false},
    {"ShortWithoutTheRook",
     {"....k...", "........", "........", "........", "........", "........", "........",
      "R...K..."},
     5, 7, false, false, false, false},
    {"BlackShort",
     {"...k....", "........", "........", "........", "........", "........", "........",
      "R..K...R"},
     4, 2, false, false, false, true, '4', 1, 3, 1},
    {"BlackLong",
     {"...k....", "........", "........", "........", "........", "........", "........",
      "R..K...R"},
     4, 6, false, false, false, true, '3', 8, 5, 8},
    {"BlackLongWithTheSquareBesideTheRookAttacked",
     {"...k..r.", "........", "........", "........", "........", "........", "........",
      "R..K...R"},
     4, 6, false, false, false, true, '3', 8, 5, 8},
    {"BlackShortCrossingAttacked",
     {"..rk....", "........", "........", "........", "........", "........", "........",
      "R..K...R"},
     4, 2, false, false, false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, CastlingTest, ::testing::ValuesIn(kCastlingRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct TCheckRow {
  const char* name;
  TRows rows;
  bool inCheck;
};

void PrintTo(const TCheckRow& row, std::ostream* os) { *os << row.name; }

class OwnKingTest : public ::testing::TestWithParam<TCheckRow> {};

TEST_P(OwnKingTest, CheckOwnKing) {
  TSilentServices services;
  TGame game(services.Services());
  ASSERT_EQ(SetUpBoard(game, GetParam().rows), "");
  game.CheckOwnKing();
  EXPECT_EQ(game.kingInCheck, GetParam().inCheck);
}

constexpr TRows Around(std::string_view row6, std::string_view row5, std::string_view row4) {
  return {"k.......", "........", row6, row5, row4, "........", "........", "........"};
}

// clang-format off
const TCheckRow kCheckRows[] = {
    {"PawnUpRight", Around("........", "....p...", "...K...."), true},
    {"PawnUpLeft", Around("........", "..p.....", "...K...."), true},
    {"PawnDownRightDoesNotAttack", Around("........", "...K....", "....p..."), false},
    {"PawnStraightAheadDoesNotAttack", Around("........", "...p....", "...K...."), false},
    {"RookOnTheRow", Around("........", "........", "r..K...."), true},
    {"RookBehindABlocker", Around("........", "........", "r.PK...."), false},
    {"RookBehindAnOpponentPiece", Around("........", "........", "rn.K...."), false},
    {"RookOnTheDiagonal", Around("........", "....r...", "...K...."), false},
    {"QueenOnTheDiagonal", Around(".....q..", "........", "...K...."), true},
    {"QueenOnTheColumn", Around("...q....", "........", "...K...."), true},
    {"BishopOnTheDiagonal", Around(".b......", "........", "...K...."), true},
    {"BishopOnTheColumn", Around("...b....", "........", "...K...."), false},
    {"Knight", Around("....n...", "........", "...K...."), true},
    {"KnightTooFar", Around(".....n..", "........", "...K...."), false},
    {"OpponentKingBeside",
     {"........", "........", "........", "..k.....", "...K....", "........", "........",
      "........"},
     true},
    {"OwnPiecesDoNotAttack", Around("...R....", "..P.....", "...K...."), false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Attackers, OwnKingTest, ::testing::ValuesIn(kCheckRows),
                         [](const auto& info) { return std::string(info.param.name); });

// On the board edge the pawn tests must not look past it.
TEST_F(RulesTest, PawnCheckOnTheEdges) {
  // clang-format off
  SetBoard({"k......K",
            "........",
            "........",
            "........",
            "........",
            "........",
            "........",
            "........"});
  // clang-format on
  game.CheckOwnKing();
  EXPECT_FALSE(game.kingInCheck);
}

struct TMaterialRow {
  const char* name;
  TRows rows;
  bool opponentBare;  // TestMaterialDraw(0)
  bool localBare;     // TestMaterialDraw(1)
};

void PrintTo(const TMaterialRow& row, std::ostream* os) { *os << row.name; }

class MaterialDrawTest : public ::testing::TestWithParam<TMaterialRow> {};

TEST_P(MaterialDrawTest, TestMaterialDraw) {
  TSilentServices services;
  TGame game(services.Services());
  ASSERT_EQ(SetUpBoard(game, GetParam().rows), "");
  game.TestMaterialDraw(0);
  EXPECT_EQ(game.materialDraw, GetParam().opponentBare);
  game.TestMaterialDraw(1);
  EXPECT_EQ(game.materialDraw, GetParam().localBare);
  game.TestMaterialDraw(7);
  EXPECT_EQ(game.materialDraw, GetParam().opponentBare) << "any side but 1 asks about the opponent";
}

constexpr TRows Pieces(std::string_view row8, std::string_view row1) {
  return {row8, "........", "........", "........", "........", "........", "........", row1};
}

// clang-format off
const TMaterialRow kMaterialRows[] = {
    {"KingsOnly", Pieces("....k...", "....K..."), true, true},
    {"OwnBishopAgainstBareKing", Pieces("....k...", "..B.K..."), true, false},
    {"OwnKnightAgainstBareKing", Pieces("....k...", ".N..K..."), true, false},
    {"BareKingAgainstBishop", Pieces("..b.k...", "....K..."), false, true},
    {"BishopAgainstBishop", Pieces("..b.k...", "..B.K..."), false, false},
    {"TwoKnightsAgainstBareKing", Pieces("....k...", ".N..K.N."), false, false},
    {"RookAgainstBareKing", Pieces("....k...", "R...K..."), false, false},
    {"PawnAgainstBareKing", Pieces("....k...", "....K..P"), false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Material, MaterialDrawTest, ::testing::ValuesIn(kMaterialRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct TSearchRow {
  const char* name;
  TRows rows;
  int enPassantFile;
  bool noLegalMove;
  bool inCheck;
};

void PrintTo(const TSearchRow& row, std::ostream* os) { *os << row.name; }

class SearchTest : public ::testing::TestWithParam<TSearchRow> {};

TEST_P(SearchTest, SearchLegalMoves) {
  const TSearchRow& row = GetParam();
  TSilentServices services;
  TGame game(services.Services());
  ASSERT_EQ(SetUpBoard(game, row.rows), "");
  game.enPassantFile = row.enPassantFile;
  const TGame before = game;
  game.SearchLegalMoves();
  game.CheckOwnKing();
  EXPECT_EQ(game.noLegalMove, row.noLegalMove);
  EXPECT_EQ(game.kingInCheck, row.inCheck);
  EXPECT_EQ(game.board, before.board) << "the search puts every trial back";
  EXPECT_EQ(game.spriteX, before.spriteX);
}

// The pawn on (7, 5) has just made a double step and gives check; the only
// escape is to take it en passant, which the search finds because its
// trial removes the taken pawn.
// clang-format off
constexpr TRows kEnPassantEscape = {"k.......",
                                    "........",
                                    ".....p..",
                                    "......pP",
                                    ".......K",
                                    "r.......",
                                    "........",
                                    "...b...."};
// clang-format on

// clang-format off
const TSearchRow kSearchRows[] = {
    {"EnPassantEscapesTheCheck", kEnPassantEscape, 7, false, true},
    {"WithoutEnPassantItIsMate", kEnPassantEscape, 0, true, true},
    {"Stalemate",
     {"....k...", "........", "........", "........", "........", "........", "..q.....",
      "K......."},
     0, true, false},
    {"BackRankMate",
     {"....k...", "........", "........", "........", "........", "........", "PPP.....",
      ".K....r."},
     0, true, true},
    {"CheckWithAnEscape",
     {"....k...", "........", "........", "........", "........", "........", "PP......",
      ".K....r."},
     0, false, true},
    {"KingCanTakeTheChecker",
     {"....k...", "........", "........", "........", "........", "........", "PPP.....",
      ".Kr....."},
     0, false, true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Positions, SearchTest, ::testing::ValuesIn(kSearchRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RulesTest, SearchCountsACastling) {
  // The king's only squares besides the castling are covered; the rook can
  // still move, so this proves no more than that the castling is tried
  // without moving the rook or its sprite.
  // clang-format off
  SetBoard({"....k...",
            "........",
            "........",
            "........",
            "........",
            "........",
            "...rPPPP",
            "....K..R"});
  // clang-format on
  game.rightRookMoved = false;
  const auto rookX = game.spriteX[8];
  game.SearchLegalMoves();
  EXPECT_FALSE(game.noLegalMove);
  EXPECT_EQ(game.board[8][1], pcRook);
  EXPECT_EQ(game.board[6][1], 0);
  EXPECT_EQ(game.spriteX[8], rookX);
}

}  // namespace
}  // namespace zervik::testing
