// The game record: move lines in short algebraic notation with Russian
// piece letters, and the "l" and "a" changes of the record panel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game.h"
#include "tests/core/position_setup.h"
#include "tests/core/two_copies.h"

namespace zervik::testing {
namespace {

using Lines = std::vector<std::string>;

struct TRecordRow {
  const char* name;
  int colour;
  const char* fen;
  int movesBefore;  // the mover's own moves already made
  bool drawOffer;
  const char* from;
  const char* to;
  int promotion;
  Lines appended;  // "a" texts that arrive afterwards
  const char* line;
};

void PrintTo(const TRecordRow& row, std::ostream* os) { *os << row.name; }

class RecordLineTest : public ::testing::TestWithParam<TRecordRow> {};

TEST_P(RecordLineTest, MoveLine) {
  const TRecordRow& row = GetParam();
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, row.fen, row.colour), "");
  ASSERT_TRUE(copy.game.myTurn);
  copy.game.moveNumber = row.movesBefore;
  copy.game.drawOfferOpen = copy.game.drawOfferToSend = row.drawOffer;
  copy.Move(row.from, row.to, row.promotion);
  for (const auto& text : row.appended) copy.game.AddLogLine(text);
  ASSERT_FALSE(copy.services.lines.empty()) << "the move was refused";
  EXPECT_EQ(copy.services.lines.front(), row.line);
  ASSERT_FALSE(copy.services.sent.empty());
  EXPECT_EQ(copy.services.sent.front().substr(0, 4), "logl");
}

const char* const kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// clang-format off
const TRecordRow kRecordRows[] = {
    {"PawnStep", 0, kStart, 0, false, "e2", "e4", 0, {}, "1. e4"},
    {"BlackReply", 1, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 0, false,
     "e7", "e5", 0, {}, "1. e5"},
    {"Knight", 0, kStart, 1, false, "g1", "f3", 0, {}, "2. Кf3"},
    {"PawnCapture", 0, "4k3/8/8/3p4/4P3/8/8/4K3 w - -", 2, false, "e4", "d5", 0, {}, "3. exd5"},
    {"BishopCapture", 0, "4k3/7p/8/1p6/8/8/8/4KB2 w - -", 3, false, "f1", "b5", 0, {},
     "4. Сxb5"},
    {"ShortCastling", 0, "4k3/8/8/8/8/8/8/4K2R w K -", 4, false, "e1", "g1", 0, {}, "5. 0-0"},
    {"RookRivalOnTheRank", 0, "4k3/8/8/8/8/8/8/R4RK1 w - -", 5, false, "a1", "d1", 0, {},
     "6. Лad1"},
    {"RookRivalOnTheFile", 0, "4k3/8/8/R7/8/8/8/R5K1 w - -", 5, false, "a1", "a3", 0, {},
     "6. Л1a3"},
    {"EnPassant", 0, "4k3/8/8/3pP3/8/8/8/4K3 w - d6", 6, false, "e5", "d6", 0, {},
     "7. ed6 e.p."},
    {"PromotionWithCheck", 0, "3k4/4P3/8/8/8/8/8/4K3 w - -", 7, false, "e7", "e8", pcQueen,
     {"a+"}, "8. e8Ф+"},
    {"DrawOfferWithCheck", 0, "4k3/7p/8/8/8/8/8/4K1N1 w - -", 8, true, "g1", "f3", 0, {"a+"},
     "9. Кf3+="},
    {"KnightRivalElsewhere", 0, "4k3/8/8/8/8/5N2/3p4/1N2K3 w - -", 9, false, "b1", "d2", 0, {},
     "10. Кbxd2"},
    // Only geometry counts: the knight on f3 is pinned to its king by the
    // bishop on e4 and still forces the file letter.
    {"PinnedRival", 0, "4k3/8/8/8/4b3/5N2/8/1N5K w - -", 0, false, "b1", "d2", 0, {},
     "1. Кbd2"},
    {"RivalsOnFileAndRank", 0, "K7/8/1k6/8/7Q/8/8/4Q2Q w - -", 0, false, "h1", "e4", 0, {},
     "1. Фh1e4"},
    {"KingCapture", 0, "4k3/8/8/8/8/8/3p4/4K3 w - -", 0, false, "e1", "d2", 0, {}, "1. Крxd2"},
    {"BlackShortCastling", 1, "4k2r/8/8/8/8/8/8/4K3 b k -", 0, false, "e8", "g8", 0, {},
     "1. 0-0"},
    {"BlackLongCastling", 1, "r3k3/8/8/8/8/8/8/4K3 b q -", 0, false, "e8", "c8", 0, {},
     "1. 0-0-0"},
    {"BlackPawnCapture", 1, "4k3/8/8/8/3p4/4P3/8/4K3 b - -", 0, false, "d4", "e3", 0, {},
     "1. dxe3"},
    {"BlackRookRivalOnTheFile", 1, "r3k3/8/8/8/r7/8/8/4K3 b - -", 0, false, "a8", "a6", 0, {},
     "1. Л8a6"},
    {"BlackRookRivalOnTheRank", 1, "r6r/8/8/8/8/8/8/k3K3 b - -", 0, false, "a8", "d8", 0, {},
     "1. Лad8"},
    {"BlackEnPassant", 1, "4k3/8/8/8/3pP3/8/8/4K3 b - e3", 0, false, "d4", "e3", 0, {},
     "1. de3 e.p."},
    {"BlackPromotion", 1, "4k3/8/8/8/8/8/p7/4K2R b - -", 0, false, "a2", "a1", pcKnight, {},
     "1. a1К"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(WorkedExamples, RecordLineTest, ::testing::ValuesIn(kRecordRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct TAppendRow {
  const char* name;
  Lines before;
  const char* text;
  Lines after;
};

void PrintTo(const TAppendRow& row, std::ostream* os) { *os << row.name; }

class AddLogLineTest : public ::testing::TestWithParam<TAppendRow> {};

TEST_P(AddLogLineTest, ChangesTheRecord) {
  const TAppendRow& row = GetParam();
  TCopy copy;
  copy.services.lines = row.before;
  copy.game.AddLogLine(row.text);
  EXPECT_EQ(copy.services.lines, row.after);
}

// clang-format off
const TAppendRow kAppendRows[] = {
    {"NewLine", {"1. e4"}, "l1/2-1/2", {"1. e4", "1/2-1/2"}},
    {"AppendToLastMoveLine", {"1. e4", "1. e5"}, "a+", {"1. e4", "1. e5+"}},
    {"AppendKeepsTheOfferLast", {"9. Кf3="}, "a+", {"9. Кf3+="}},
    {"PromotionLetterBeforeTheOffer", {"8. e8="}, "aФ", {"8. e8Ф="}},
    {"OnlyTheFirstOfferMarkMoves", {"8. e8=="}, "a+", {"8. e8=+="}},
    {"PastAResultLine", {"2. Фh4", "0-1"}, "a++", {"2. Фh4++", "0-1"}},
    {"PastAHalfPointLine", {"5. Лa8", "1/2-1/2"}, "a+", {"5. Лa8+", "1/2-1/2"}},
    {"PastTheNewGameLine", {"3. Кf3", "Начало новой игры."}, "a+", {"3. Кf3+", "Начало новой игры."}},
    {"NoMoveLineYet", {"Начало новой игры."}, "a+", {"Начало новой игры."}},
    {"EmptyRecord", {}, "a+", {}},
    {"LineStartingWithZeroNeverQualifies", {"1. e4", "0. x"}, "a+", {"1. e4+", "0. x"}},
    // A chat line that looks like a move line is taken for one.
    {"ChatLineThatLooksLikeAMove", {"1. e4", "2. ok"}, "a+", {"1. e4", "2. ok+"}},
    {"OtherLetterIgnored", {"1. e4"}, "n1/2-1/2", {"1. e4"}},
    {"CyrillicLetterIgnored", {"1. e4"}, "Ф+", {"1. e4"}},
    {"EmptyTextIgnored", {"1. e4"}, "", {"1. e4"}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Texts, AddLogLineTest, ::testing::ValuesIn(kAppendRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The disambiguation moves fromX/fromY about and must leave them, and the
// move being recorded, as they were.
TEST(RecordMoveTest, RivalSearchRestoresTheMoveSquares) {
  TCopy copy;
  ASSERT_EQ(SetUpFromFen(copy.game, "4k3/8/8/8/8/5N2/3p4/1N2K3 w - -", 0), "");
  copy.game.fromX = 2;
  copy.game.fromY = 1;
  copy.game.toX = 4;
  copy.game.toY = 2;
  copy.game.RecordMove();
  EXPECT_EQ(copy.game.fromX, 2);
  EXPECT_EQ(copy.game.fromY, 1);
  EXPECT_EQ(copy.game.moveNumber, 1);
  EXPECT_TRUE(copy.game.rivalElsewhere);
  EXPECT_FALSE(copy.game.rivalSameColumn);
  EXPECT_FALSE(copy.game.rivalSameRow);
  EXPECT_EQ(copy.services.sent, Lines({"logl1. Кbxd2"}));
  EXPECT_EQ(copy.services.moveSounds, 1);
}

}  // namespace
}  // namespace zervik::testing
