#include "platform/settings.h"

namespace zervik {
namespace {

std::string ComPortKey(int n) { return "COM" + std::to_string(n); }

}  // namespace

std::string TSettings::DeviceForComPort(int n) const {
  if (n < 1 || n > kComPortCount) return {};
  const std::string& device = comPortDevices[static_cast<std::size_t>(n - 1)];
  if (!device.empty()) return device;
  return "/dev/ttyS" + std::to_string(n - 1);
}

TSettings ReadSettings(const TIniFile& ini) {
  TSettings s;
  s.pieceSetName = ini.ReadString(kSectionOptions, kKeyFigures, s.pieceSetName);
  s.boardName = ini.ReadString(kSectionOptions, kKeyBoard, s.boardName);
  s.drawCoordinates = ini.ReadBool(kSectionOptions, kKeyDrawHV, s.drawCoordinates);
  s.serverAddress = ini.ReadString(kSectionPlayer, kKeyServerIp, s.serverAddress);
  s.pulseDialling = ini.ReadBool(kSectionOptions, kKeyModemPulse, s.pulseDialling);
  s.modemPort = ini.ReadInteger(kSectionOptions, kKeyModemPort, s.modemPort);
  s.lanPort = ini.ReadInteger(kSectionOptions, kKeyLanPort, s.lanPort);
  s.phoneNumber = ini.ReadString(kSectionPlayer, kKeyDefaultNumber, s.phoneNumber);
  s.playerName = ini.ReadString(kSectionPlayer, kKeyName, s.playerName);
  for (int n = 1; n <= kComPortCount; ++n)
    s.comPortDevices[static_cast<std::size_t>(n - 1)] =
        ini.ReadString(kSectionPorts, ComPortKey(n), "");
  return s;
}

TIniWriteResult WriteSettings(TIniFile& ini, const TSettings& s) {
  if (auto r = ini.WriteString(kSectionPlayer, kKeyName, s.playerName); !r) return r;
  if (auto r = ini.WriteString(kSectionPlayer, kKeyServerIp, s.serverAddress); !r) return r;
  if (auto r = ini.WriteString(kSectionPlayer, kKeyDefaultNumber, s.phoneNumber); !r) return r;
  if (auto r = ini.WriteString(kSectionOptions, kKeyFigures, s.pieceSetName); !r) return r;
  if (auto r = ini.WriteString(kSectionOptions, kKeyBoard, s.boardName); !r) return r;
  if (auto r = ini.WriteBool(kSectionOptions, kKeyDrawHV, s.drawCoordinates); !r) return r;
  if (auto r = ini.WriteInteger(kSectionOptions, kKeyModemPort, s.modemPort); !r) return r;
  if (auto r = ini.WriteInteger(kSectionOptions, kKeyLanPort, s.lanPort); !r) return r;
  return ini.WriteBool(kSectionOptions, kKeyModemPulse, s.pulseDialling);
}

}  // namespace zervik
