// The serial port over a real device: a pseudo-terminal of the modem
// simulator stands in for COMn, and a missing device for a missing port.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "platform/qt_serial_port.h"
#include "tests/modem/modem_sim_support.h"

namespace zervik {
namespace {

using test::ProcessUntil;
using test::TModemSim;
using test::TRawPort;

TEST(SerialPort, NamesAndDefaultDevices) {
  TVaComm port;
  port.PortNum = 3;
  EXPECT_EQ(port.PortName(), "COM3");
  EXPECT_EQ(port.DevicePath(), "/dev/ttyS2");
  EXPECT_EQ(DefaultComDevice(1), "/dev/ttyS0");
  EXPECT_EQ(DefaultComDevice(0), "");
}

TEST(SerialPort, MissingDeviceFailsToOpenAndAClosedPortDoesNothing) {
  test::TestApp();
  QTemporaryDir dir;
  const std::string missing = dir.path().toStdString() + "/no-such-tty";
  TVaComm port([&](int) { return missing; });
  port.PortNum = 3;
  const std::optional<TPortError> error = port.Open();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, peNotFound) << error->detail;
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.WriteText("ATZ\r"));
  EXPECT_FALSE(port.GetModemStatus(msRlsd)) << "a closed port has no carrier";

  TVaComm unmapped([](int) { return std::string(); });
  ASSERT_TRUE(unmapped.Open());
  EXPECT_EQ(unmapped.Open()->kind, peNoDevice);

  // Not a terminal at all.
  TVaComm regular([&](int) { return dir.path().toStdString(); });
  EXPECT_TRUE(regular.Open());
}

TEST(SerialPort, WritesReadsAndReportsTheCarrierPresentOnAPseudoTerminal) {
  TModemSim sim;
  ASSERT_TRUE(sim.started);
  TVaComm port([&](int n) { return n == 3 ? sim.a : std::string(); });
  std::string received;
  port.onDataReceived = [&](std::string_view bytes) { received += bytes; };
  port.PortNum = 3;
  ASSERT_FALSE(port.Open());
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(port.GetModemStatus(msRlsd)) << "a pseudo-terminal has no carrier line to read";
  ASSERT_TRUE(sim.LogHas("A: port opened"));
  ASSERT_TRUE(port.WriteText("AT\r"));
  ASSERT_TRUE(ProcessUntil([&] { return received.find("\r\nOK\r\n") != std::string::npos; }))
      << received;
  EXPECT_TRUE(sim.LogHas("A< AT^M"));

  // Data both ways once the modems are connected.
  TRawPort other(sim.b);
  ASSERT_TRUE(sim.LogHas("B: port opened"));
  ASSERT_TRUE(port.WriteText("ATDT1\r"));
  ASSERT_TRUE(other.WaitFor("RING"));
  other.Write("ATA\r");
  ASSERT_TRUE(ProcessUntil([&] { return received.find("CONNECT 115200") != std::string::npos; }));
  received.clear();
  other.Write(">ver100/");
  ASSERT_TRUE(ProcessUntil([&] { return received == ">ver100/"; })) << received;
  ASSERT_TRUE(port.WriteText(">rbw0/"));
  ASSERT_TRUE(other.WaitFor(">rbw0/"));

  // Closing hangs up (DTR drops); the port opens again.
  port.Close();
  EXPECT_FALSE(port.GetModemStatus(msRlsd));
  ASSERT_TRUE(other.WaitFor("NO CARRIER"));
  ASSERT_FALSE(port.Open());
  EXPECT_TRUE(port.IsOpen());
}

}  // namespace
}  // namespace zervik
