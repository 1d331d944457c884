// What the modem tests over pseudo-terminals share: the application and the
// event-loop waits of the Qt platform tests, the modem simulator as a child
// process, and a raw end of one of its ports.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <string>

#include "tests/platform/qt_test_app.h"

namespace zervik::test {

// zervik-modem-sim, started with `arguments` and fast rings; stopped when
// this goes.
class TModemSim {
 public:
  explicit TModemSim(QStringList arguments = {}) {
    TestApp();
    QObject::connect(&process, &QProcess::readyReadStandardOutput,
                     [this] { output += process.readAllStandardOutput().toStdString(); });
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    arguments << "--ring-ms"
              << "150"
              << "--connect-ms"
              << "100";
    process.start(QString::fromUtf8(ZERVIK_MODEM_SIM), arguments);
    started = process.waitForStarted(kGenerousWaitMs) && ProcessUntil([this] { return Paths(); });
  }
  ~TModemSim() {
    if (process.state() == QProcess::NotRunning) return;
    process.write("quit\n");
    if (!process.waitForFinished(kGenerousWaitMs)) process.kill();
    process.waitForFinished();
  }

  bool started = false;
  std::string a, b;  // the two ports

  // The lines "A< ..." etc. the simulator has logged so far.
  const std::string& Log() {
    QCoreApplication::processEvents();
    return output;
  }
  bool LogHas(const std::string& text) {
    return ProcessUntil([&] { return output.find(text) != std::string::npos; });
  }
  void Drop() {
    process.write("drop\n");
    process.waitForBytesWritten();
  }

 private:
  bool Paths() {
    const std::size_t aAt = output.find("A ");
    const std::size_t bAt = output.find("\nB ");
    if (aAt != 0 || bAt == std::string::npos) return false;
    const std::size_t bEnd = output.find('\n', bAt + 1);
    if (bEnd == std::string::npos) return false;
    a = output.substr(2, bAt - 2);
    b = output.substr(bAt + 3, bEnd - bAt - 3);
    return true;
  }

  QProcess process;
  std::string output;
};

// One end of a simulator port, driven byte by byte as a terminal program
// would.
class TRawPort {
 public:
  explicit TRawPort(const std::string& path) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return;
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
  }
  ~TRawPort() { Close(); }
  TRawPort(const TRawPort&) = delete;
  TRawPort& operator=(const TRawPort&) = delete;

  bool IsOpen() const { return fd >= 0; }
  void Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  void Write(const std::string& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Everything received so far.
  const std::string& Received() {
    char buffer[1024];
    ssize_t n;
    while (fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0)
      received.append(buffer, static_cast<std::size_t>(n));
    return received;
  }
  bool WaitFor(const std::string& text) {
    return ProcessUntil([&] { return Received().find(text) != std::string::npos; });
  }
  void Forget() {
    Received();
    received.clear();
  }

 private:
  int fd = -1;
  std::string received;
};

}  // namespace zervik::test
