// zervik-peer on a modem: the command line, and two peer processes that
// play a whole game through zervik-modem-sim.
#include <gtest/gtest.h>

#include <QProcess>
#include <string>
#include <variant>
#include <vector>

#include "tests/modem/modem_sim_support.h"
#include "tools/peer/peer_options.h"

namespace zervik {
namespace {

using test::ProcessUntil;
using test::TModemSim;

TEST(PeerModemOptions, AnswerAndDialInPlaceOfListenAndConnect) {
  auto answer = ParsePeerOptions({"--modem-answer", "/dev/pts/7", "--name", "Ответчик"});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(answer));
  EXPECT_TRUE(std::get<TPeerOptions>(answer).modemAnswer);
  EXPECT_EQ(std::get<TPeerOptions>(answer).modemDevice, "/dev/pts/7");

  auto dial = ParsePeerOptions({"--modem-dial", "/dev/ttyUSB0", "5551234"});
  ASSERT_TRUE(std::holds_alternative<TPeerOptions>(dial));
  EXPECT_TRUE(std::get<TPeerOptions>(dial).modemDial);
  EXPECT_EQ(std::get<TPeerOptions>(dial).modemDevice, "/dev/ttyUSB0");
  EXPECT_EQ(std::get<TPeerOptions>(dial).modemNumber, "5551234");

  const std::vector<std::vector<std::string>> refused = {
      {"--modem-dial", "/dev/ttyS0"},  // no number
      {"--modem-answer"},
      {"--modem-answer", "/dev/ttyS0", "--listen", "0"},
      {"--modem-dial", "/dev/ttyS0", "1", "--connect", "localhost"},
      {"--modem-answer", "/dev/ttyS0", "--modem-dial", "/dev/ttyS1", "1"},
  };
  for (const auto& args : refused) {
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_TRUE(std::holds_alternative<TPeerUsageError>(ParsePeerOptions(args))) << line;
  }
}

// One zervik-peer process; its output is collected as it comes.
struct TPeerProcess {
  explicit TPeerProcess(const QStringList& arguments) {
    QObject::connect(&process, &QProcess::readyReadStandardOutput,
                     [this] { out += process.readAllStandardOutput().toStdString(); });
    QObject::connect(&process, &QProcess::readyReadStandardError,
                     [this] { err += process.readAllStandardError().toStdString(); });
    process.start(QString::fromUtf8(ZERVIK_PEER), arguments);
  }
  ~TPeerProcess() {
    if (process.state() != QProcess::NotRunning) process.kill();
    process.waitForFinished();
  }
  bool Finished() const { return process.state() == QProcess::NotRunning; }
  // The record as printed at the end.
  std::string Record() const {
    const std::size_t at = out.find("--- record ---");
    return at == std::string::npos ? std::string() : out.substr(at);
  }
  QProcess process;
  std::string out, err;
};

TEST(PeerOverModem, TwoPeersPlayAGameThroughTheSimulator) {
  TModemSim sim;
  ASSERT_TRUE(sim.started);
  // A draw offered on the third move and accepted keeps the game short.
  const QStringList common = {"--time-scale", "0.05", "--games", "1"};
  TPeerProcess answerer(QStringList{"--modem-answer", QString::fromStdString(sim.b), "--name",
                                    "Ответчик", "--colour", "white", "--seed", "1",
                                    "--offer-draw-after", "3"} +
                        common);
  ASSERT_TRUE(sim.LogHas("B> OK")) << sim.Log();
  TPeerProcess dialler(QStringList{"--modem-dial", QString::fromStdString(sim.a), "5551234",
                                   "--name", "Звонящий", "--colour", "black", "--seed", "2",
                                   "--accept-draws"} +
                       common);
  ASSERT_TRUE(ProcessUntil([&] { return answerer.Finished() && dialler.Finished(); }, 120000))
      << sim.Log() << answerer.err << dialler.err;
  EXPECT_EQ(answerer.process.exitCode(), 0) << answerer.err;
  EXPECT_EQ(dialler.process.exitCode(), 0) << dialler.err;
  EXPECT_TRUE(sim.LogHas("A< ATDT5551234^M"));
  EXPECT_TRUE(sim.LogHas("B< ATA^M"));
  // Both printed the same whole game, with its result.
  ASSERT_FALSE(answerer.Record().empty()) << answerer.out;
  EXPECT_EQ(answerer.Record(), dialler.Record());
  const std::string record = answerer.Record();
  EXPECT_NE(record.find("\n1/2-1/2\n"), std::string::npos) << record;
}

TEST(PeerOverModem, BusyLineEndsThePeerWithItsReason) {
  TModemSim sim({"--busy"});
  ASSERT_TRUE(sim.started);
  TPeerProcess dialler({"--modem-dial", QString::fromStdString(sim.a), "1"});
  ASSERT_TRUE(ProcessUntil([&] { return dialler.Finished(); }));
  EXPECT_EQ(dialler.process.exitCode(), 1);
  EXPECT_NE(dialler.err.find("Линия занята"), std::string::npos) << dialler.err;
}

}  // namespace
}  // namespace zervik
