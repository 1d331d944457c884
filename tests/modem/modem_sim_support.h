// What the modem tests over pseudo-terminals share: one QCoreApplication,
// a wait that runs the event loop until a condition holds (the limit only
// turns a hang into a failure), the modem simulator as a child process,
// and a raw end of one of its ports.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <string>

namespace zervik::test {

inline QCoreApplication& ModemTestApp() {
  static int argc = 1;
  static char name[] = "modem_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                              : new QCoreApplication(argc, argv);
  return *app;
}

inline constexpr int kGenerousWaitMs = 20000;

inline bool ProcessUntil(const std::function<bool()>& done, int limitMs = kGenerousWaitMs) {
  ModemTestApp();
  QDeadlineTimer deadline(limitMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

// Gives events that must not come every chance to arrive.
inline void ProcessFor(int ms) {
  ProcessUntil([] { return false; }, ms);
}

// zervik-modem-sim, started with `arguments` and fast rings; stopped when
// this goes.
class TModemSim {
 public:
  explicit TModemSim(QStringList arguments = {}) {
    ModemTestApp();
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
