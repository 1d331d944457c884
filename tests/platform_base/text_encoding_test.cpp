#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace zervik {
namespace {

TEST(TextEncoding, CyrillicRoundTripsThroughWindows1251) {
  const std::string text = "Начало новой игры. Ёж ёлка №5";
  const std::string bytes = Utf8ToCp1251(text);
  EXPECT_EQ(bytes.size(), 29u);  // one byte per character
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCD);  // Н
  EXPECT_EQ(static_cast<unsigned char>(bytes[19]), 0xA8);  // Ё
  EXPECT_EQ(Cp1251ToUtf8(bytes), text);
}

TEST(TextEncoding, EveryByteDecodesAndAsciiIsUnchanged) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1251ToUtf8(all);
  // 0x98 is the one unassigned byte: it becomes U+FFFD, which has no
  // Windows-1251 form and so comes back as "?".
  std::string expected = all;
  expected[0x98 - 1] = '?';
  EXPECT_EQ(Utf8ToCp1251(utf8), expected);
  EXPECT_EQ(Cp1251ToUtf8("hod52.54::>"), "hod52.54::>");
}

TEST(TextEncoding, UnmappableAndInvalidInputBecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x99\x94z"), "a?z");     // a chess king glyph
  EXPECT_EQ(Utf8ToCp1251("a\xFF" "b"), "a?b");         // not UTF-8 at all
  EXPECT_EQ(Utf8ToCp1251("ab\xD0"), "ab?");            // cut sequence at the end
  EXPECT_EQ(Utf8ToCp1251(""), "");
}

}  // namespace
}  // namespace zervik
