#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "tests/platform/ini_test_dir.h"

namespace zervik {
namespace {

using test::TTestDir;

// "Вася" and "Игрок"/"игрок" in Windows-1251.
constexpr const char* kVasyaCp1251 = "\xC2\xE0\xF1\xFF";
constexpr const char* kIgrokUpperCp1251 = "\xC8\xC3\xD0\xCE\xCA";

// ---------------------------------------------------------------- reading

struct TReadRow {
  const char* name;
  std::optional<std::string> file;  // nullopt: no file at all
  const char* section;
  const char* key;
  const char* defaultValue;
  std::string expected;  // UTF-8
};
void PrintTo(const TReadRow& row, std::ostream* os) { *os << row.name; }

class IniReadStringTest : public ::testing::TestWithParam<TReadRow> {};

TEST_P(IniReadStringTest, ReadsAsTheProfileFunctionsDo) {
  const TReadRow& row = GetParam();
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  if (row.file) TTestDir::Put(path, *row.file);
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadString(row.section, row.key, row.defaultValue), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniReadStringTest,
    ::testing::Values(
        TReadRow{"NoFileGivesDefault", std::nullopt, "Options", "Figures", "Classic", "Classic"},
        TReadRow{"MissingKeyGivesDefault", "[Options]\r\nBoard=Stone\r\n", "Options", "Figures",
                 "Classic", "Classic"},
        TReadRow{"MissingSectionGivesDefault", "[Player]\r\nFigures=Glass\r\n", "Options",
                 "Figures", "Classic", "Classic"},
        TReadRow{"EmptyValueIsEmptyNotDefault", "[Options]\r\nFigures=\r\n", "Options", "Figures",
                 "Classic", ""},
        TReadRow{"KeyIsCaseInsensitive", "[Options]\r\nfIGURES=Glass\r\n", "Options", "Figures",
                 "Classic", "Glass"},
        TReadRow{"SectionIsCaseInsensitive", "[OPTIONS]\r\nFigures=Glass\r\n", "options", "Figures",
                 "Classic", "Glass"},
        TReadRow{"CyrillicSectionIsCaseInsensitive",
                 std::string("[") + kIgrokUpperCp1251 + "]\r\nName=" + kVasyaCp1251 + "\r\n",
                 "игрок", "Name", "", "Вася"},
        TReadRow{"BlanksAroundKeyAndValueAreTrimmed",
                 std::string("[Player]\r\n\t Name  =  ") + kVasyaCp1251 + " x \r\n", "Player",
                 "Name", "", "Вася x"},
        TReadRow{"CyrillicValueIsDecodedFrom1251",
                 std::string("[Player]\r\nName=") + kVasyaCp1251 + "\r\n", "Player", "Name", "",
                 "Вася"},
        TReadRow{"DoubleQuotesAreDropped", "[Player]\r\nName=\"Bob \"\r\n", "Player", "Name", "",
                 "Bob "},
        TReadRow{"SingleQuotesAreDropped", "[Player]\r\nName='Bob'\r\n", "Player", "Name", "",
                 "Bob"},
        TReadRow{"UnpairedQuotesStay", "[Player]\r\nName=\"Bob'\r\n", "Player", "Name", "",
                 "\"Bob'"},
        TReadRow{"FirstKeyOfANameWins", "[Player]\r\nName=One\r\nName=Two\r\n", "Player", "Name",
                 "", "One"},
        TReadRow{"FirstSectionOfANameWins",
                 "[Player]\r\nServer_ip=a\r\n[Options]\r\n[Player]\r\nName=Two\r\n", "Player",
                 "Name", "none", "none"},
        TReadRow{"CommentIsNotAKey", "[Player]\r\n;Name=Hidden\r\n", "Player", ";Name", "none",
                 "none"},
        TReadRow{"KeyBeforeAnySectionBelongsToNone", "Name=Loose\r\n[Player]\r\n", "Player", "Name",
                 "none", "none"},
        TReadRow{"ValueMayHoldEqualsSigns", "[Player]\r\nName=a=b\r\n", "Player", "Name", "",
                 "a=b"},
        TReadRow{"UnixLineEndsRead", "[Options]\nFigures=Glass\nBoard=Stone", "Options", "Board",
                 "", "Stone"},
        TReadRow{"TextStopsAt2047Characters", "[Player]\r\nName=" + std::string(3000, 'x') + "\r\n",
                 "Player", "Name", "", std::string(TIniFile::kMaxValueLength, 'x')},
        TReadRow{"TextOf2047CharactersIsWhole",
                 "[Player]\r\nName=" + std::string(2046, 'x') + "y\r\n", "Player", "Name", "",
                 std::string(2046, 'x') + "y"}),
    [](const ::testing::TestParamInfo<TReadRow>& info) { return info.param.name; });

TEST(IniFile, ReadingAFolderGivesDefaults) {
  TTestDir dir;
  const TIniFile ini(dir.Path().string());
  EXPECT_EQ(ini.ReadString("Options", "Figures", "Classic"), "Classic");
  EXPECT_EQ(ini.ReadInteger("Options", "LANPort", 2804), 2804);
}

struct TIntegerRow {
  const char* name;
  const char* text;
  int expected;  // with default 2804
};
void PrintTo(const TIntegerRow& row, std::ostream* os) { *os << row.name; }

class ProfileIntegerTest : public ::testing::TestWithParam<TIntegerRow> {};

TEST_P(ProfileIntegerTest, ParsesOrGivesDefault) {
  EXPECT_EQ(ParseProfileInteger(GetParam().text, 2804), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileIntegerTest,
    ::testing::Values(
        TIntegerRow{"Decimal", "2816", 2816}, TIntegerRow{"Negative", "-5", -5},
        TIntegerRow{"PlusSign", "+7", 7}, TIntegerRow{"Zero", "0", 0},
        TIntegerRow{"HexLower", "0x0B00", 2816}, TIntegerRow{"HexUpperX", "0X0b00", 2816},
        TIntegerRow{"HexOneDigit", "0x1", 1}, TIntegerRow{"HexAllBitsIsMinusOne", "0xFFFFFFFF", -1},
        TIntegerRow{"HexTooLong", "0x100000000", 2804}, TIntegerRow{"BareHexPrefix", "0x", 2804},
        TIntegerRow{"HexWithBadDigit", "0xZZ", 2804}, TIntegerRow{"HexWithSign", "0x-1", 2804},
        TIntegerRow{"Letters", "abc", 2804}, TIntegerRow{"Empty", "", 2804},
        TIntegerRow{"TrailingGarbage", "12abc", 2804}, TIntegerRow{"TwoSigns", "+-5", 2804},
        TIntegerRow{"OnlySign", "-", 2804}, TIntegerRow{"DecimalOverflow", "99999999999", 2804},
        TIntegerRow{"IntMax", "2147483647", 2147483647}, TIntegerRow{"InnerBlank", "28 04", 2804},
        TIntegerRow{"DollarIsNotHex", "$B00", 2804}),
    [](const ::testing::TestParamInfo<TIntegerRow>& info) { return info.param.name; });

TEST(IniFile, IntegersAndBooleansThroughTheFile) {
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  TTestDir::Put(path,
                "[Options]\r\nLANPort=0x0B00\r\nModemPort= 3 \r\nBad=abc\r\n"
                "DrawHV=1\r\nModemPulse=0\r\nOdd=2\r\nHexZero=0x0\r\n");
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("Options", "LANPort", 2804), 2816);
  EXPECT_EQ(ini.ReadInteger("Options", "ModemPort", 0), 3);
  EXPECT_EQ(ini.ReadInteger("Options", "Bad", 2804), 2804);
  EXPECT_EQ(ini.ReadInteger("Options", "Missing", 2804), 2804);
  EXPECT_TRUE(ini.ReadBool("Options", "DrawHV", false));
  EXPECT_FALSE(ini.ReadBool("Options", "ModemPulse", true));
  EXPECT_TRUE(ini.ReadBool("Options", "Odd", false));
  EXPECT_FALSE(ini.ReadBool("Options", "HexZero", true));
  EXPECT_TRUE(ini.ReadBool("Options", "Bad", true));
  EXPECT_FALSE(ini.ReadBool("Options", "Bad", false));
  EXPECT_TRUE(ini.ReadBool("Options", "Missing", true));
}

// ---------------------------------------------------------------- writing

struct TWriteRow {
  const char* name;
  std::optional<std::string> before;
  std::function<TIniWriteResult(TIniFile&)> write;
  std::string after;  // the exact bytes on disk
};
void PrintTo(const TWriteRow& row, std::ostream* os) { *os << row.name; }

class IniWriteTest : public ::testing::TestWithParam<TWriteRow> {};

TEST_P(IniWriteTest, ChangesOnlyWhatIsWritten) {
  const TWriteRow& row = GetParam();
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  if (row.before) TTestDir::Put(path, *row.before);
  TIniFile ini(path);
  const TIniWriteResult result = row.write(ini);
  EXPECT_TRUE(result.ok) << result.errorText;
  EXPECT_EQ(TTestDir::Get(path), row.after);
  EXPECT_EQ(dir.EntryCount(), 1) << "a temporary file was left beside the INI file";
}

TIniWriteResult WriteName(TIniFile& ini, const char* name) {
  return ini.WriteString("Player", "Name", name);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniWriteTest,
    ::testing::Values(
        TWriteRow{"NewFileGetsSectionAndKey", std::nullopt,
                  [](TIniFile& ini) { return WriteName(ini, "Bob"); }, "[Player]\r\nName=Bob\r\n"},
        TWriteRow{"CyrillicIsWrittenIn1251", std::nullopt,
                  [](TIniFile& ini) { return WriteName(ini, "Вася"); },
                  std::string("[Player]\r\nName=") + kVasyaCp1251 + "\r\n"},
        TWriteRow{"CharacterOutside1251BecomesQuestionMark", std::nullopt,
                  [](TIniFile& ini) { return WriteName(ini, "a€☺b"); },
                  "[Player]\r\nName=a\x88?b\r\n"},
        TWriteRow{"ExistingKeyIsReplacedInPlace",
                  "; settings of Zervik\r\n[Options]\r\nFigures=Classic\r\n; the board\r\n"
                  "Board=Wood\r\n\r\n[Other]\r\nBoard=Keep\r\n",
                  [](TIniFile& ini) { return ini.WriteString("Options", "Board", "Stone"); },
                  "; settings of Zervik\r\n[Options]\r\nFigures=Classic\r\n; the board\r\n"
                  "Board=Stone\r\n\r\n[Other]\r\nBoard=Keep\r\n"},
        TWriteRow{"KeyKeepsItsSpellingAndCaseInsensitiveMatch",
                  "[OPTIONS]\r\n  drawhv = 0 \r\nBoard=Wood\r\n",
                  [](TIniFile& ini) { return ini.WriteBool("Options", "DrawHV", true); },
                  "[OPTIONS]\r\ndrawhv=1\r\nBoard=Wood\r\n"},
        TWriteRow{"NewKeyGoesAfterTheSectionsLastLine",
                  "[Options]\r\nFigures=Classic\r\n\r\n[Player]\r\nName=x\r\n",
                  [](TIniFile& ini) { return ini.WriteInteger("Options", "LANPort", 2804); },
                  "[Options]\r\nFigures=Classic\r\nLANPort=2804\r\n\r\n[Player]\r\nName=x\r\n"},
        TWriteRow{"NewKeyInEmptySection", "[Player]\r\n[Options]\r\n",
                  [](TIniFile& ini) { return WriteName(ini, "x"); },
                  "[Player]\r\nName=x\r\n[Options]\r\n"},
        TWriteRow{"NewSectionIsAppendedAfterABlankLine", "[Options]\r\nFigures=Classic\r\n",
                  [](TIniFile& ini) { return WriteName(ini, "x"); },
                  "[Options]\r\nFigures=Classic\r\n\r\n[Player]\r\nName=x\r\n"},
        TWriteRow{"UnixLineEndsAreKept", "[Options]\nFigures=Classic\n",
                  [](TIniFile& ini) { return ini.WriteString("Options", "Board", "Wood"); },
                  "[Options]\nFigures=Classic\nBoard=Wood\n"},
        TWriteRow{"LastLineWithoutEndGetsOne", "[Options]\r\nFigures=Classic",
                  [](TIniFile& ini) { return ini.WriteString("Options", "Board", "Wood"); },
                  "[Options]\r\nFigures=Classic\r\nBoard=Wood\r\n"},
        TWriteRow{"OtherLinesKeepTheirOwnEnds", "[Options]\nA=1\r\nB=2\n",
                  [](TIniFile& ini) { return ini.WriteInteger("Options", "A", 5); },
                  "[Options]\nA=5\r\nB=2\n"},
        TWriteRow{"LineBreakInValueCannotAddALine", "[Player]\r\nName=x\r\n",
                  [](TIniFile& ini) { return WriteName(ini, "a\r\n[Options]\nDrawHV=1"); },
                  "[Player]\r\nName=a  [Options] DrawHV=1\r\n"},
        TWriteRow{"NegativeIntegerInDecimal", std::nullopt,
                  [](TIniFile& ini) { return ini.WriteInteger("Options", "LANPort", -1); },
                  "[Options]\r\nLANPort=-1\r\n"}),
    [](const ::testing::TestParamInfo<TWriteRow>& info) { return info.param.name; });

TEST(IniFile, WrittenTextReadsBackTheSame) {
  TTestDir dir;
  TIniFile ini(dir.File("zervik.INI"));
  const std::string name = "Пётр Ёлкин, \"Ъ\" №1";
  ASSERT_TRUE(ini.WriteString("Player", "Name", name));
  EXPECT_EQ(ini.ReadString("Player", "Name", ""), name);
}

TEST(IniFile, ReplacingKeepsTheFilesPermissions) {
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  TTestDir::Put(path, "[Player]\r\nName=x\r\n");
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TIniFile ini(path);
  ASSERT_TRUE(ini.WriteString("Player", "Name", "y"));
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The tests run as root, for whom no permission bit stops a write; these
// paths fail for everyone.
struct TFailRow {
  const char* name;
  std::function<std::string(const TTestDir&)> prepare;  // returns the INI path
};
void PrintTo(const TFailRow& row, std::ostream* os) { *os << row.name; }

class IniWriteFailureTest : public ::testing::TestWithParam<TFailRow> {};

TEST_P(IniWriteFailureTest, ReportsUnableToWrite) {
  TTestDir dir;
  const std::string path = GetParam().prepare(dir);
  const int entriesBefore = dir.EntryCount();
  TIniFile ini(path);
  const TIniWriteResult result = ini.WriteString("Player", "Name", "x");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(static_cast<bool>(result));
  EXPECT_EQ(result.errorText, "Unable to write to " + path);
  EXPECT_EQ(dir.EntryCount(), entriesBefore) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniWriteFailureTest,
    ::testing::Values(TFailRow{"FolderDoesNotExist",
                               [](const TTestDir& d) { return d.File("gone/zervik.INI"); }},
                      TFailRow{"PathIsAnEmptyFolder",
                               [](const TTestDir& d) {
                                 std::filesystem::create_directory(d.File("zervik.INI"));
                                 return d.File("zervik.INI");
                               }},
                      TFailRow{"PathIsAFolderWithFiles",
                               [](const TTestDir& d) {
                                 std::filesystem::create_directory(d.File("zervik.INI"));
                                 TTestDir::Put(d.File("zervik.INI/inside"), "x");
                                 return d.File("zervik.INI");
                               }},
                      TFailRow{"ParentIsAFile",
                               [](const TTestDir& d) {
                                 TTestDir::Put(d.File("plain"), "x");
                                 return d.File("plain/zervik.INI");
                               }}),
    [](const ::testing::TestParamInfo<TFailRow>& info) { return info.param.name; });

// ---------------------------------------------------------------- file name

struct TPathRow {
  const char* name;
  const char* exePath;
  const char* iniPath;
};
void PrintTo(const TPathRow& row, std::ostream* os) { *os << row.name; }

class IniPathTest : public ::testing::TestWithParam<TPathRow> {};

TEST_P(IniPathTest, ExtensionBecomesIni) {
  EXPECT_EQ(IniPathForExecutable(GetParam().exePath), GetParam().iniPath);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IniPathTest,
    ::testing::Values(TPathRow{"NoExtension", "/opt/zervik/zervik", "/opt/zervik/zervik.INI"},
                      TPathRow{"Extension", "/opt/zervik/zervik.bin", "/opt/zervik/zervik.INI"},
                      TPathRow{"DotInFolderOnly", "/opt/z.d/zervik", "/opt/z.d/zervik.INI"},
                      TPathRow{"LastDotOnly", "/opt/zervik.1.1", "/opt/zervik.1.INI"},
                      TPathRow{"HiddenName", "/home/u/.zervik", "/home/u/.zervik.INI"},
                      TPathRow{"BareName", "zervik", "zervik.INI"}),
    [](const ::testing::TestParamInfo<TPathRow>& info) { return info.param.name; });

}  // namespace
}  // namespace zervik
