// The program's settings as they live in the configuration file, in a plain
// struct that the shell and the dialogs fill and read.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace zervik {

inline constexpr std::string_view kSectionOptions = "Options";
inline constexpr std::string_view kSectionPlayer = "Player";
// Optional and read only: maps the program's port numbers (COM1..COM6) to
// the serial devices of this machine, e.g. "COM1=/dev/ttyUSB0".
inline constexpr std::string_view kSectionPorts = "Ports";

inline constexpr std::string_view kKeyFigures = "Figures";
inline constexpr std::string_view kKeyBoard = "Board";
inline constexpr std::string_view kKeyDrawHV = "DrawHV";
inline constexpr std::string_view kKeyServerIp = "Server_ip";
inline constexpr std::string_view kKeyModemPulse = "ModemPulse";
inline constexpr std::string_view kKeyModemPort = "ModemPort";
inline constexpr std::string_view kKeyLanPort = "LANPort";
inline constexpr std::string_view kKeyDefaultNumber = "DefaultNumber";
inline constexpr std::string_view kKeyName = "Name";

inline constexpr std::string_view kDefaultPieceSet = "Classic";
inline constexpr std::string_view kDefaultBoard = "Wood";
inline constexpr int kDefaultLanPort = 2804;
// The program offers COM1 to COM6.
inline constexpr int kComPortCount = 6;

struct TSettings {
  std::string pieceSetName{kDefaultPieceSet};  // Options/Figures
  std::string boardName{kDefaultBoard};        // Options/Board
  bool drawCoordinates = false;                // Options/DrawHV
  std::string serverAddress;                   // Player/Server_ip
  bool pulseDialling = true;                   // Options/ModemPulse
  int modemPort = 0;                           // Options/ModemPort, 0 = none chosen
  int lanPort = kDefaultLanPort;               // Options/LANPort
  std::string phoneNumber;                     // Player/DefaultNumber
  std::string playerName;                      // Player/Name

  // Ports/COM1..COM6; an empty entry means the default device.
  std::array<std::string, kComPortCount> comPortDevices;

  // The serial device of port `n` (1 for COM1 ... 6 for COM6): the [Ports]
  // entry, or /dev/ttyS(n-1) without one. Empty for a number outside 1..6
  // (among them 0, no port chosen).
  std::string DeviceForComPort(int n) const;

  bool operator==(const TSettings&) const = default;
};

// Reads the nine settings in the order of the configuration table, then the
// [Ports] section. A missing file or key leaves the default.
TSettings ReadSettings(const TIniFile& ini);

// Writes the nine settings, each by its own profile write, in the shut-down
// order: Name, Server_ip, DefaultNumber, then Figures, Board, DrawHV,
// ModemPort, LANPort, ModemPulse. Stops at the first write that fails and
// returns its result. [Ports] is never written.
[[nodiscard]] TIniWriteResult WriteSettings(TIniFile& ini, const TSettings& settings);

}  // namespace zervik
