// The serial port `VaComm1` over QSerialPort: 115200 baud, 8 data bits, no
// parity, one stop bit, RTS/CTS handshake, DTR raised while open. The
// program knows its ports as COM1 ... COM6; which device a number opens is
// the owner's to say (the [Ports] section of the configuration file, else
// /dev/ttyS(n-1)). Received bytes are handed on from the event loop.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/modem.h"

class QSerialPort;

namespace zervik {

inline constexpr int kSerialBaudRate = 115200;
inline constexpr const char* kComDeviceName = "COM%d";

// The lines of GetModemStatus, by their index.
enum TModemStatusLine {
  msCts = 1,
  msDsr = 2,
  msRing = 3,
  msRlsd = 4,  // carrier detect
};

enum TPortErrorKind {
  peNoDevice,   // the port number maps to no device
  peNotFound,   // the device does not exist
  peInUse,      // another program holds it
  peCannotOpen  // refused for another reason (permissions, not a tty)
};

struct TPortError {
  TPortErrorKind kind = peCannotOpen;
  std::string detail;  // the system's words, for a log or a test
};

// The device of COMn without a [Ports] entry.
std::string DefaultComDevice(int portNum);

class TVaComm : public QObject, public IModemPort {
  Q_OBJECT

 public:
  // `deviceForPort` maps a port number to its device path; without it
  // DefaultComDevice is used.
  explicit TVaComm(std::function<std::string(int portNum)> deviceForPort = {},
                   QObject* parent = nullptr);
  ~TVaComm() override;
  TVaComm(const TVaComm&) = delete;
  TVaComm& operator=(const TVaComm&) = delete;

  // Every chunk of bytes read, on the event loop.
  std::function<void(std::string_view bytes)> onDataReceived;

  int PortNum = 0;  // takes effect at the next Open
  std::string DeviceName = kComDeviceName;
  // "COM3" for port 3: DeviceName with the number in place of "%d".
  std::string PortName() const;
  // The device Open uses for PortNum.
  std::string DevicePath() const;

  // Opens PortNum (closing whatever was open). Empty on success.
  [[nodiscard]] std::optional<TPortError> Open();
  void Close();
  bool IsOpen() const;

  // Queues bytes for sending; on a closed port writes nothing.
  bool WriteText(const std::string& bytes) override;

  // The modem line `line` (TModemStatusLine) of the open port. A device
  // whose lines cannot be read (a pseudo-terminal) reports the carrier as
  // present, so that the link watch never takes it for a dropped line;
  // a closed port reports every line off.
  bool GetModemStatus(int line) const;

 private:
  void PortReadyRead();
  void PortError(int error);

  std::function<std::string(int)> deviceForPort;
  QSerialPort* port = nullptr;
};

}  // namespace zervik
