// zervik-modem-sim driven over its two pseudo-terminals as two terminal
// programs would drive two modems on one line.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/modem/modem_sim_support.h"

namespace zervik {
namespace {

using test::TModemSim;
using test::TRawPort;

// Both ends open, and the simulator has seen them opened.
struct TLine {
  explicit TLine(QStringList options = {}) : sim(std::move(options)), a(sim.a), b(sim.b) {}
  bool Ready() {
    return sim.started && a.IsOpen() && b.IsOpen() && sim.LogHas("A: port opened") &&
           sim.LogHas("B: port opened");
  }
  TModemSim sim;
  TRawPort a, b;
};

TEST(ModemSim, CallRingAnswerDataAndDropOnDemand) {
  TLine line;
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATZE1M1\r");
  ASSERT_TRUE(line.a.WaitFor("ATZE1M1\r\r\nOK\r\n")) << "echo, then OK";
  line.a.Write("ATDP5551234\r");
  ASSERT_TRUE(line.b.WaitFor("\r\nRING\r\n"));
  ASSERT_TRUE(line.b.WaitFor("\r\nRING\r\n\r\nRING\r\n")) << "rings repeat until answered";
  line.b.Write("ATA\r");
  ASSERT_TRUE(line.a.WaitFor("\r\nCONNECT 115200\r\n"));
  ASSERT_TRUE(line.b.WaitFor("\r\nCONNECT 115200\r\n"));
  line.a.Forget();
  line.b.Forget();

  // Data both ways, untouched: no echo, no response.
  line.a.Write(">rbw1/>ver100/");
  line.b.Write(">ver100/ATZ\r");
  ASSERT_TRUE(line.b.WaitFor(">rbw1/>ver100/"));
  ASSERT_TRUE(line.a.WaitFor(">ver100/ATZ\r"));
  EXPECT_EQ(line.b.Received(), ">rbw1/>ver100/");

  line.sim.Drop();
  ASSERT_TRUE(line.a.WaitFor("\r\nNO CARRIER\r\n"));
  ASSERT_TRUE(line.b.WaitFor("\r\nNO CARRIER\r\n"));
  // Back in command mode.
  line.b.Forget();
  line.b.Write("AT\r");
  ASSERT_TRUE(line.b.WaitFor("AT\r\r\nOK\r\n"));

  // Every command is logged in the Config notation.
  EXPECT_TRUE(line.sim.LogHas("A< ATDP5551234^M"));
  EXPECT_TRUE(line.sim.LogHas("B< ATA^M"));
}

TEST(ModemSim, ClosingAPortDuringACallIsTheOtherSidesNoCarrier) {
  TLine line;
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATDT1\r");
  ASSERT_TRUE(line.b.WaitFor("RING"));
  line.b.Write("ATA\r");
  ASSERT_TRUE(line.a.WaitFor("CONNECT 115200"));
  line.a.Forget();
  line.b.Close();  // DTR drops: the modem hangs up
  ASSERT_TRUE(line.a.WaitFor("\r\nNO CARRIER\r\n")) << line.sim.Log();
}

TEST(ModemSim, EchoFollowsE0AndE1) {
  TLine line;
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATE0\r");
  ASSERT_TRUE(line.a.WaitFor("ATE0\r\r\nOK\r\n"));  // echoed before it takes effect
  line.a.Forget();
  line.a.Write("AT\r");
  ASSERT_TRUE(line.a.WaitFor("\r\nOK\r\n"));
  EXPECT_EQ(line.a.Received(), "\r\nOK\r\n");
  line.a.Forget();
  line.a.Write("ATZ\r");  // a reset turns echo on again
  ASSERT_TRUE(line.a.WaitFor("\r\nOK\r\n"));
  line.a.Forget();
  line.a.Write("AT\r");
  ASSERT_TRUE(line.a.WaitFor("AT\r\r\nOK\r\n"));
}

// A dial that does not ring, by option.
struct TDialRefusal {
  const char* name;
  const char* option;
  const char* response;
};

void PrintTo(const TDialRefusal& row, std::ostream* out) { *out << row.name; }

class ModemSimDial : public ::testing::TestWithParam<TDialRefusal> {};

TEST_P(ModemSimDial, AnswersTheDialWithItsResponse) {
  TLine line({QString::fromUtf8(GetParam().option)});
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATDT5551234\r");
  ASSERT_TRUE(line.a.WaitFor(std::string("\r\n") + GetParam().response + "\r\n"));
  test::ProcessFor(400);  // two ring intervals
  EXPECT_EQ(line.b.Received().find("RING"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ModemSimDial,
    ::testing::Values(TDialRefusal{"Busy", "--busy", "BUSY"},
                      TDialRefusal{"NoDialTone", "--no-dialtone", "NO DIALTONE"},
                      TDialRefusal{"Voice", "--voice", "VOICE"},
                      TDialRefusal{"Error", "--error", "ERROR"}),
    [](const ::testing::TestParamInfo<TDialRefusal>& info) { return info.param.name; });

TEST(ModemSim, SilentModemAnswersNothingTheOtherStillDoes) {
  TLine line({"--silent", "a"});
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATZE1M1\r");
  line.b.Write("ATZE1M1\r");
  ASSERT_TRUE(line.b.WaitFor("\r\nOK\r\n"));
  ASSERT_TRUE(line.sim.LogHas("A< (silent) got ATZE1M1^M"));
  test::ProcessFor(200);
  EXPECT_EQ(line.a.Received(), "");
}

TEST(ModemSim, UnansweredCallEndsWithNoCarrierForTheCaller) {
  TLine line({"--answer-limit-ms", "400"});
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATDT1\r");
  ASSERT_TRUE(line.b.WaitFor("RING"));
  ASSERT_TRUE(line.a.WaitFor("\r\nNO CARRIER\r\n"));
  line.b.Forget();
  line.b.Write("ATA\r");  // too late
  ASSERT_TRUE(line.b.WaitFor("\r\nNO CARRIER\r\n"));
}

TEST(ModemSim, SecondCallerWhileTheLineIsInUseIsBusy) {
  TLine line;
  ASSERT_TRUE(line.Ready()) << line.sim.Log();
  line.a.Write("ATDT1\r");
  ASSERT_TRUE(line.b.WaitFor("RING"));
  line.b.Write("ATDT2\r");
  ASSERT_TRUE(line.b.WaitFor("\r\nBUSY\r\n"));
}

}  // namespace
}  // namespace zervik
