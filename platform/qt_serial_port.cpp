#include "platform/qt_serial_port.h"

#include <sys/ioctl.h>

#include <QSerialPort>
#include <cerrno>
#include <cstring>
#include <utility>

namespace zervik {

std::string DefaultComDevice(int portNum) {
  if (portNum < 1) return {};
  return "/dev/ttyS" + std::to_string(portNum - 1);
}

TVaComm::TVaComm(std::function<std::string(int)> deviceForPort, QObject* parent)
    : QObject(parent), deviceForPort(std::move(deviceForPort)), port(new QSerialPort(this)) {
  connect(port, &QSerialPort::readyRead, this, &TVaComm::PortReadyRead);
  connect(port, &QSerialPort::errorOccurred, this,
          [this](QSerialPort::SerialPortError error) { PortError(error); });
}

TVaComm::~TVaComm() { Close(); }

std::string TVaComm::PortName() const {
  std::string name = DeviceName;
  const std::size_t mark = name.find("%d");
  const std::string number = std::to_string(PortNum);
  if (mark == std::string::npos) return name + number;
  return name.replace(mark, 2, number);
}

std::string TVaComm::DevicePath() const {
  return deviceForPort ? deviceForPort(PortNum) : DefaultComDevice(PortNum);
}

std::optional<TPortError> TVaComm::Open() {
  Close();
  const std::string device = DevicePath();
  if (device.empty()) return TPortError{peNoDevice, "no device for " + PortName()};
  port->setPortName(QString::fromStdString(device));
  if (!port->open(QIODevice::ReadWrite)) {
    const QSerialPort::SerialPortError error = port->error();
    TPortError failure{peCannotOpen, port->errorString().toStdString()};
    if (error == QSerialPort::DeviceNotFoundError) failure.kind = peNotFound;
    if (error == QSerialPort::PermissionError && port->errorString().contains("lock"))
      failure.kind = peInUse;
    port->clearError();
    return failure;
  }
  port->setBaudRate(kSerialBaudRate);
  port->setDataBits(QSerialPort::Data8);
  port->setParity(QSerialPort::NoParity);
  port->setStopBits(QSerialPort::OneStop);
  port->setFlowControl(QSerialPort::HardwareControl);
  // A modem hangs up when DTR drops, so it is held up as long as the port
  // is open. A pseudo-terminal has no such line; that is no error here.
  port->setDataTerminalReady(true);
  port->clearError();
  return std::nullopt;
}

void TVaComm::Close() {
  if (port->isOpen()) port->close();
  port->clearError();
}

bool TVaComm::IsOpen() const { return port->isOpen(); }

bool TVaComm::WriteText(const std::string& bytes) {
  if (!port->isOpen()) return false;
  if (bytes.empty()) return true;
  return port->write(bytes.data(), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

bool TVaComm::GetModemStatus(int line) const {
  if (!port->isOpen()) return false;
  // Read straight from the device: QSerialPort would report a device
  // without modem lines as an error on the port.
  int bits = 0;
  if (::ioctl(port->handle(), TIOCMGET, &bits) == -1) return line == msRlsd;
  switch (line) {
    case msCts:
      return (bits & TIOCM_CTS) != 0;
    case msDsr:
      return (bits & TIOCM_DSR) != 0;
    case msRing:
      return (bits & TIOCM_RNG) != 0;
    case msRlsd:
      return (bits & TIOCM_CAR) != 0;
    default:
      return false;
  }
}

void TVaComm::PortReadyRead() {
  const QByteArray bytes = port->readAll();
  if (bytes.isEmpty() || !onDataReceived) return;
  onDataReceived(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TVaComm::PortError(int error) {
  // A device that went away (an adapter pulled out, the far end of a
  // pseudo-terminal closed) cannot come back by itself: the port is closed,
  // so that the carrier reads as lost and writes go nowhere. The close
  // waits for the event loop, since this may run inside a read.
  if (error == QSerialPort::ResourceError)
    QMetaObject::invokeMethod(
        this, [this] { Close(); }, Qt::QueuedConnection);
}

}  // namespace zervik
