#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "protocol/wire.h"
#include "tests/wire/wire_test_support.h"

namespace zervik {
namespace {

using wiretest::TCollector;

// ---------------------------------------------------------------------------
// Framing for sending: Windows-1251 exactly at the byte boundary

TEST(Framing, TcpAndSerialBytesAreWindows1251) {
  // Ж is 0xC6, ё is 0xB8 in Windows-1251.
  EXPECT_EQ(FrameForTcp("chtЖ: ё"), "cht\xC6: \xB8::>");
  EXPECT_EQ(FrameForSerial("chtЖ: ё"), ">cht\xC6: \xB8/");
  EXPECT_EQ(FrameForTcp(""), "::>");
  EXPECT_EQ(FrameForSerial(""), ">/");
}

const std::string kCyrillicChat =
    "chtВладимир: Съешь же ещё этих мягких французских булок, да выпей чаю! ЁЖ№";

TEST(Framing, CyrillicRoundTripThroughBothLinks) {
  TCollector tcp;
  TTcpReader reader(tcp.Handler());
  reader.Feed(FrameForTcp(kCyrillicChat));
  EXPECT_EQ(tcp.messages, std::vector<std::string>{kCyrillicChat});

  TCollector serial;
  TSerialCapture capture(serial.Handler());
  capture.Feed(FrameForSerial(kCyrillicChat));
  EXPECT_EQ(serial.messages, std::vector<std::string>{kCyrillicChat});
}

// Cutting works on the wire's bytes and decoding comes after it, so no read
// boundary can fall inside a UTF-8 character.
TEST(Framing, CyrillicCutAtEveryByteArrivesWhole) {
  const std::string tcpBytes = FrameForTcp(kCyrillicChat);
  const std::string serialBytes = FrameForSerial(kCyrillicChat);
  for (std::size_t cut = 0; cut <= tcpBytes.size(); ++cut) {
    TCollector tcp;
    TTcpReader reader(tcp.Handler());
    reader.Feed(std::string_view(tcpBytes).substr(0, cut));
    reader.Feed(std::string_view(tcpBytes).substr(cut));
    ASSERT_EQ(tcp.messages, std::vector<std::string>{kCyrillicChat}) << "TCP cut at " << cut;
  }
  for (std::size_t cut = 0; cut <= serialBytes.size(); ++cut) {
    TCollector serial;
    TSerialCapture capture(serial.Handler());
    capture.Feed(std::string_view(serialBytes).substr(0, cut));
    capture.Feed(std::string_view(serialBytes).substr(cut));
    ASSERT_EQ(serial.messages, std::vector<std::string>{kCyrillicChat}) << "serial cut at " << cut;
  }
}

// ---------------------------------------------------------------------------
// Classification

struct TClassifyCase {
  const char* name;
  std::string message;
  TMessageTag tag;
  std::string payload;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TClassifyCase& c, std::ostream* os) { *os << c.name; }
};

class Classify : public testing::TestWithParam<TClassifyCase> {};

TEST_P(Classify, TagAndPayload) {
  const TClassifyCase& c = GetParam();
  const std::optional<TReceived> received = ClassifyMessage(c.message);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->tag, c.tag);
  EXPECT_EQ(received->messageTag, c.message.substr(0, 3));
  EXPECT_EQ(received->payload, c.payload);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Classify,
    testing::Values(
        TClassifyCase{"Ver", "ver100", mtVer, "100"},
        TClassifyCase{"Oks", "oks", mtOks, "oks"},
        TClassifyCase{"OkAnswer", "_ok", mtOk, "_ok"},
        TClassifyCase{"Rbw", "rbw1", mtRbw, "1"},
        TClassifyCase{"VrzClaim", "vrzb", mtVrz, "b"},
        TClassifyCase{"VrzAnswer", "vrzn", mtVrz, "n"},
        TClassifyCase{"Cht", "chtИван: привет", mtCht, "Иван: привет"},
        TClassifyCase{"Log", "logl1. e2-e4", mtLog, "l1. e2-e4"},
        TClassifyCase{"Dra", "dra", mtDra, "dra"},
        TClassifyCase{"Ext", "ext", mtExt, "ext"},
        TClassifyCase{"New", "new", mtNew, "new"},
        TClassifyCase{"Acc", "acc", mtAcc, "acc"},
        TClassifyCase{"Reg", "reg", mtReg, "reg"},
        TClassifyCase{"Bla", "blaИван", mtBla, "Иван"},
        TClassifyCase{"WhiWithEmptyName", "whi", mtWhi, ""},
        TClassifyCase{"Hod", "hod=57f58", mtHod, "=57f58"},
        TClassifyCase{"UncutTagKeepsTrailingText", "oksx", mtOks, "oksx"},
        TClassifyCase{"CapitalTagUnknown", "VER100", mtUnknown, "VER100"},
        TClassifyCase{"MixedCaseTagUnknown", "Hod52.54", mtUnknown, "Hod52.54"},
        TClassifyCase{"OkWithoutUnderscoreUnknown", "ok_", mtUnknown, "ok_"},
        TClassifyCase{"CyrillicStartUnknown", "версия", mtUnknown, "версия"},
        TClassifyCase{"ModemLineUnknown", "CONNECT 33600", mtUnknown, "CONNECT 33600"}),
    [](const testing::TestParamInfo<TClassifyCase>& info) { return std::string(info.param.name); });

TEST(ClassifyShort, MessagesShorterThanATagAreDropped) {
  for (const std::string message : {"", "o", "ok", "_o"})
    EXPECT_FALSE(ClassifyMessage(message).has_value()) << '"' << message << '"';
}

TEST(ClassifyTags, EveryTagTextClassifiesAsItsTag) {
  for (int t = mtVer; t < mtUnknown; ++t) {
    const auto tag = static_cast<TMessageTag>(t);
    ASSERT_EQ(TagText(tag).size(), 3u) << t;
    const std::optional<TReceived> received = ClassifyMessage(std::string(TagText(tag)));
    ASSERT_TRUE(received.has_value()) << TagText(tag);
    EXPECT_EQ(received->tag, tag) << TagText(tag);
  }
  EXPECT_TRUE(TagText(mtUnknown).empty());
}

// ---------------------------------------------------------------------------
// Numbers of "ver" and "rbw"

struct TNumberCase {
  const char* name;
  std::string payload;
  std::optional<int> value;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TNumberCase& c, std::ostream* os) { *os << c.name; }
};

class WireNumber : public testing::TestWithParam<TNumberCase> {};

TEST_P(WireNumber, ParsesOrRefuses) {
  EXPECT_EQ(ParseWireNumber(GetParam().payload), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WireNumber,
    testing::Values(TNumberCase{"Version", "100", 100}, TNumberCase{"Zero", "0", 0},
                    TNumberCase{"One", "1", 1}, TNumberCase{"OtherVersion", "101", 101},
                    TNumberCase{"Negative", "-5", -5}, TNumberCase{"Empty", "", std::nullopt},
                    TNumberCase{"Letters", "abc", std::nullopt},
                    TNumberCase{"TrailingLetter", "10a", std::nullopt},
                    TNumberCase{"LeadingSpace", " 100", std::nullopt},
                    TNumberCase{"TrailingSpace", "100 ", std::nullopt},
                    TNumberCase{"Fraction", "1.0", std::nullopt},
                    TNumberCase{"MinusAlone", "-", std::nullopt},
                    TNumberCase{"TooLarge", "99999999999", std::nullopt},
                    TNumberCase{"Cyrillic", "сто", std::nullopt}),
    [](const testing::TestParamInfo<TNumberCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The "hod" payload

struct THodCase {
  const char* name;
  std::string payload;
  THodMove move;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const THodCase& c, std::ostream* os) { *os << c.name; }
};

class HodValid : public testing::TestWithParam<THodCase> {};

TEST_P(HodValid, ParsesAndFormatsBack) {
  const THodCase& c = GetParam();
  const auto parsed = ParseHodPayload(c.payload);
  ASSERT_TRUE(std::holds_alternative<THodMove>(parsed)) << "refused: " << std::get<THodError>(parsed);
  const THodMove& m = std::get<THodMove>(parsed);
  EXPECT_EQ(m.drawOffer, c.move.drawOffer);
  EXPECT_EQ(m.fromX, c.move.fromX);
  EXPECT_EQ(m.fromY, c.move.fromY);
  EXPECT_EQ(m.mark, c.move.mark);
  EXPECT_EQ(m.toX, c.move.toX);
  EXPECT_EQ(m.toY, c.move.toY);
  EXPECT_EQ(FormatHodPayload(m), c.payload);
  EXPECT_EQ(BuildHodMessage(m), "hod" + c.payload);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HodValid,
    testing::Values(THodCase{"WhiteE2E4", "52.54", {false, 5, 2, '.', 5, 4}},
                    THodCase{"BlackE7E5", "42.44", {false, 4, 2, '.', 4, 4}},
                    THodCase{"PromotionToQueenWithDrawOffer", "=57f58", {true, 5, 7, 'f', 5, 8}},
                    THodCase{"PromotionToRook", "17l18", {false, 1, 7, 'l', 1, 8}},
                    THodCase{"PromotionToBishopCapturing", "27o38", {false, 2, 7, 'o', 3, 8}},
                    THodCase{"PromotionToKnight", "87k88", {false, 8, 7, 'k', 8, 8}},
                    THodCase{"WhiteShortCastling", "51171", {false, 5, 1, '1', 7, 1}},
                    THodCase{"WhiteLongCastling", "51231", {false, 5, 1, '2', 3, 1}},
                    THodCase{"BlackLongCastling", "41361", {false, 4, 1, '3', 6, 1}},
                    THodCase{"BlackShortCastling", "41421", {false, 4, 1, '4', 2, 1}},
                    THodCase{"CornerToCorner", "11.88", {false, 1, 1, '.', 8, 8}}),
    [](const testing::TestParamInfo<THodCase>& info) { return std::string(info.param.name); });

struct TBadHodCase {
  const char* name;
  std::string payload;
  THodError error;
  // Failures name the row rather than dump its bytes.
  friend void PrintTo(const TBadHodCase& c, std::ostream* os) { *os << c.name; }
};

class HodMalformed : public testing::TestWithParam<TBadHodCase> {};

TEST_P(HodMalformed, IsRefusedWithItsReason) {
  const auto parsed = ParseHodPayload(GetParam().payload);
  ASSERT_TRUE(std::holds_alternative<THodError>(parsed)) << "accepted";
  EXPECT_EQ(std::get<THodError>(parsed), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HodMalformed,
    testing::Values(TBadHodCase{"Empty", "", heWrongLength},
                    TBadHodCase{"DrawOfferAlone", "=", heWrongLength},
                    TBadHodCase{"FourCharacters", "52.5", heWrongLength},
                    TBadHodCase{"SixCharacters", "52.545", heWrongLength},
                    TBadHodCase{"FourAfterDrawOffer", "=52.5", heWrongLength},
                    TBadHodCase{"TwoDrawOffers", "==52.54", heWrongLength},
                    TBadHodCase{"DrawOfferAtTheEnd", "52.54=", heWrongLength},
                    TBadHodCase{"TrailingNewline", "52.54\n", heWrongLength},
                    TBadHodCase{"CyrillicMark", "52Ф54", heWrongLength},
                    TBadHodCase{"ZeroColumn", "02.54", heBadCoordinate},
                    TBadHodCase{"NineRow", "52.59", heBadCoordinate},
                    TBadHodCase{"FileLetters", "e2.e4", heBadCoordinate},
                    TBadHodCase{"SpaceForRow", "5 .54", heBadCoordinate},
                    TBadHodCase{"ColonForColumn", "52.:4", heBadCoordinate},
                    TBadHodCase{"NulByte", std::string("52.5\0", 5), heBadCoordinate},
                    TBadHodCase{"HighByte", "\xFF" "2.54", heBadCoordinate},
                    TBadHodCase{"CapitalPromotion", "57F58", heBadMark},
                    TBadHodCase{"UnknownMark", "52x54", heBadMark},
                    TBadHodCase{"CastlingNumberFive", "51571", heBadMark},
                    TBadHodCase{"ZeroMark", "51071", heBadMark},
                    TBadHodCase{"SpaceMark", "52 54", heBadMark},
                    TBadHodCase{"EqualsAsMark", "52=54", heBadMark},
                    TBadHodCase{"SameSquare", "52.52", heSameSquare},
                    TBadHodCase{"SameSquareWithDrawOffer", "=88f88", heSameSquare}),
    [](const testing::TestParamInfo<TBadHodCase>& info) { return std::string(info.param.name); });

// A received move travels: bytes, cut, classified, checked.
TEST(HodReceived, FromTheWireToACheckedMove) {
  std::vector<std::variant<THodMove, THodError>> moves;
  TTcpReader reader([&](const std::string& message) {
    const auto received = ClassifyMessage(message);
    if (received && received->tag == mtHod) moves.push_back(ParseHodPayload(received->payload));
  });
  reader.Feed("logl1. e2-e4::>hod52.54::>hod99.99::>");
  ASSERT_EQ(moves.size(), 2u);
  ASSERT_TRUE(std::holds_alternative<THodMove>(moves[0]));
  EXPECT_EQ(FormatHodPayload(std::get<THodMove>(moves[0])), "52.54");
  EXPECT_EQ(std::get<THodError>(moves[1]), heBadCoordinate);
}

}  // namespace
}  // namespace zervik
