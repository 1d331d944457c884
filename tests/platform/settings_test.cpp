#include "platform/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "tests/platform/ini_test_dir.h"

namespace zervik {

void PrintTo(const TSettings& s, std::ostream* os) {
  *os << "{Figures=" << s.pieceSetName << " Board=" << s.boardName
      << " DrawHV=" << s.drawCoordinates << " Server_ip=" << s.serverAddress
      << " ModemPulse=" << s.pulseDialling << " ModemPort=" << s.modemPort
      << " LANPort=" << s.lanPort << " DefaultNumber=" << s.phoneNumber << " Name=" << s.playerName
      << " Ports=";
  for (const auto& d : s.comPortDevices) *os << "[" << d << "]";
  *os << "}";
}

namespace {

using test::TTestDir;

// "Вася Пупкин" in Windows-1251.
const std::string kVasyaCp1251 = "\xC2\xE0\xF1\xFF \xCF\xF3\xEF\xEA\xE8\xED";

// What a file written from scratch holds after a normal exit with the
// defaults: [Player] first, since its keys are written first.
const std::string kDefaultsWritten =
    "[Player]\r\nName=\r\nServer_ip=\r\nDefaultNumber=\r\n\r\n"
    "[Options]\r\nFigures=Classic\r\nBoard=Wood\r\nDrawHV=0\r\nModemPort=0\r\n"
    "LANPort=2804\r\nModemPulse=1\r\n";

// One run of the program against a configuration file: read at start-up,
// changed while running, written at shut-down.
struct TSettingsRow {
  const char* name;
  std::optional<std::string> before;           // nullopt: no file
  std::function<void(TSettings&)> expectRead;  // turns the defaults into what is read
  std::function<void(TSettings&)> change;      // what the session changes
  std::string after;                           // the exact bytes after shut-down
};
void PrintTo(const TSettingsRow& row, std::ostream* os) { *os << row.name; }

class SettingsTest : public ::testing::TestWithParam<TSettingsRow> {};

TEST_P(SettingsTest, ReadAtStartWrittenAtExit) {
  const TSettingsRow& row = GetParam();
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  if (row.before) TTestDir::Put(path, *row.before);
  TIniFile ini(path);

  TSettings expected;
  if (row.expectRead) row.expectRead(expected);
  TSettings settings = ReadSettings(ini);
  EXPECT_EQ(settings, expected);

  if (row.change) row.change(settings);
  const TIniWriteResult result = WriteSettings(ini, settings);
  EXPECT_TRUE(result.ok) << result.errorText;
  EXPECT_EQ(TTestDir::Get(path), row.after);

  // The next start reads what this one wrote; [Ports] is as it was read,
  // since it is never written.
  TSettings nextStart = settings;
  nextStart.comPortDevices = expected.comPortDevices;
  EXPECT_EQ(ReadSettings(ini), nextStart);
}

const std::string kFullFile =
    "; Zervik\r\n[Player]\r\nName=" + kVasyaCp1251 +
    "\r\nServer_ip=192.168.0.7\r\nDefaultNumber=8-495-123\r\n\r\n"
    "[Options]\r\nFigures=Glass\r\nBoard=Stone\r\nDrawHV=1\r\nModemPort=2\r\n"
    "LANPort=3000\r\nModemPulse=0\r\n\r\n[Ports]\r\nCOM2=/dev/ttyUSB0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsTest,
    ::testing::Values(
        TSettingsRow{"NoFileDefaultsThenAllNineKeys", std::nullopt, nullptr, nullptr,
                     kDefaultsWritten},
        TSettingsRow{"EmptyFileIsLikeNoFile", "", nullptr, nullptr, kDefaultsWritten},
        TSettingsRow{"DrawHVOneMeansCoordinates", "[Options]\r\nDrawHV=1\r\n",
                     [](TSettings& s) { s.drawCoordinates = true; }, nullptr,
                     "[Options]\r\nDrawHV=1\r\nFigures=Classic\r\nBoard=Wood\r\nModemPort=0\r\n"
                     "LANPort=2804\r\nModemPulse=1\r\n\r\n"
                     "[Player]\r\nName=\r\nServer_ip=\r\nDefaultNumber=\r\n"},
        TSettingsRow{"HexLanPortIsReadAndWrittenBackInDecimal", "[Options]\r\nLANPort=0x0B00\r\n",
                     [](TSettings& s) { s.lanPort = 2816; }, nullptr,
                     "[Options]\r\nLANPort=2816\r\nFigures=Classic\r\nBoard=Wood\r\nDrawHV=0\r\n"
                     "ModemPort=0\r\nModemPulse=1\r\n\r\n"
                     "[Player]\r\nName=\r\nServer_ip=\r\nDefaultNumber=\r\n"},
        TSettingsRow{"InvalidLanPortGivesDefault", "[Options]\r\nLANPort=abc\r\n", nullptr, nullptr,
                     "[Options]\r\nLANPort=2804\r\nFigures=Classic\r\nBoard=Wood\r\nDrawHV=0\r\n"
                     "ModemPort=0\r\nModemPulse=1\r\n\r\n"
                     "[Player]\r\nName=\r\nServer_ip=\r\nDefaultNumber=\r\n"},
        TSettingsRow{"UnchangedFullFileStaysByteForByte", kFullFile,
                     [](TSettings& s) {
                       s.playerName = "Вася Пупкин";
                       s.serverAddress = "192.168.0.7";
                       s.phoneNumber = "8-495-123";
                       s.pieceSetName = "Glass";
                       s.boardName = "Stone";
                       s.drawCoordinates = true;
                       s.modemPort = 2;
                       s.lanPort = 3000;
                       s.pulseDialling = false;
                       s.comPortDevices[1] = "/dev/ttyUSB0";
                     },
                     nullptr, kFullFile},
        TSettingsRow{"CyrillicNameWrittenIn1251", std::nullopt, nullptr,
                     [](TSettings& s) { s.playerName = "Вася Пупкин"; },
                     "[Player]\r\nName=" + kVasyaCp1251 +
                         "\r\nServer_ip=\r\nDefaultNumber=\r\n\r\n"
                         "[Options]\r\nFigures=Classic\r\nBoard=Wood\r\nDrawHV=0\r\n"
                         "ModemPort=0\r\nLANPort=2804\r\nModemPulse=1\r\n"},
        TSettingsRow{"OtherSectionsKeysAndCommentsKept",
                     "; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Options]\r\n"
                     "; my board\r\nBoard=Stone\r\nVolume=7\r\n\r\n[Player]\r\nName=Ann\r\n"
                     "Rating=1500\r\n",
                     [](TSettings& s) {
                       s.boardName = "Stone";
                       s.playerName = "Ann";
                     },
                     [](TSettings& s) {
                       s.boardName = "Wood";
                       s.serverAddress = "chess.example";
                     },
                     "; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Options]\r\n"
                     "; my board\r\nBoard=Wood\r\nVolume=7\r\nFigures=Classic\r\nDrawHV=0\r\n"
                     "ModemPort=0\r\nLANPort=2804\r\nModemPulse=1\r\n\r\n"
                     "[Player]\r\nName=Ann\r\nRating=1500\r\nServer_ip=chess.example\r\n"
                     "DefaultNumber=\r\n"},
        TSettingsRow{"KeysAndSectionsMatchWhateverTheirCase",
                     "[options]\r\nfigures=Glass\r\nDRAWHV=1\r\nlanport=0X10\r\n[PLAYER]\r\n"
                     "name=Ann\r\n",
                     [](TSettings& s) {
                       s.pieceSetName = "Glass";
                       s.drawCoordinates = true;
                       s.lanPort = 16;
                       s.playerName = "Ann";
                     },
                     nullptr,
                     "[options]\r\nfigures=Glass\r\nDRAWHV=1\r\nlanport=16\r\nBoard=Wood\r\n"
                     "ModemPort=0\r\nModemPulse=1\r\n[PLAYER]\r\nname=Ann\r\nServer_ip=\r\n"
                     "DefaultNumber=\r\n"},
        TSettingsRow{
            "PortsAreReadAndNeverWritten",
            "[Ports]\r\nCOM1=/dev/ttyUSB0\r\ncom3 = /dev/pts/5 \r\nCOM7=/dev/null\r\n",
            [](TSettings& s) {
              s.comPortDevices[0] = "/dev/ttyUSB0";
              s.comPortDevices[2] = "/dev/pts/5";
            },
            [](TSettings& s) { s.comPortDevices[3] = "/dev/ttyACM0"; },
            "[Ports]\r\nCOM1=/dev/ttyUSB0\r\ncom3 = /dev/pts/5 \r\nCOM7=/dev/null\r\n\r\n" +
                kDefaultsWritten}),
    [](const ::testing::TestParamInfo<TSettingsRow>& info) { return info.param.name; });

TEST(Settings, ComPortDevicesWithAndWithoutPortsSection) {
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  TTestDir::Put(path, "[Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM6=/dev/pts/9\r\n");
  const TSettings settings = ReadSettings(TIniFile(path));
  EXPECT_EQ(settings.DeviceForComPort(1), "/dev/ttyUSB0");
  EXPECT_EQ(settings.DeviceForComPort(2), "/dev/ttyS1");
  EXPECT_EQ(settings.DeviceForComPort(5), "/dev/ttyS4");
  EXPECT_EQ(settings.DeviceForComPort(6), "/dev/pts/9");
  EXPECT_EQ(settings.DeviceForComPort(0), "") << "port 0 means none chosen";
  EXPECT_EQ(settings.DeviceForComPort(7), "");
  EXPECT_EQ(settings.DeviceForComPort(-1), "");

  const TSettings defaults;
  EXPECT_EQ(defaults.DeviceForComPort(1), "/dev/ttyS0");
  EXPECT_EQ(defaults.DeviceForComPort(6), "/dev/ttyS5");
}

TEST(Settings, UnwritableFileStopsAtTheFirstWriteAndSaysWhere) {
  TTestDir dir;
  const std::string path = dir.File("missing-folder/zervik.INI");
  TIniFile ini(path);
  TSettings settings;
  settings.playerName = "Ann";
  const TIniWriteResult result = WriteSettings(ini, settings);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorText, "Unable to write to " + path);
}

TEST(Settings, IniPathThatIsAFolderFailsAndKeepsTheFolder) {
  TTestDir dir;
  const std::string path = dir.File("zervik.INI");
  std::filesystem::create_directory(path);
  TTestDir::Put(path + "/keep", "x");
  TIniFile ini(path);
  const TSettings read = ReadSettings(ini);
  EXPECT_EQ(read, TSettings());
  const TIniWriteResult result = WriteSettings(ini, read);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorText, "Unable to write to " + path);
  EXPECT_EQ(TTestDir::Get(path + "/keep"), "x");
  EXPECT_EQ(dir.EntryCount(), 1) << "a temporary file was left behind";
}

}  // namespace
}  // namespace zervik
