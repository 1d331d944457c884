// zervik-peer run as its users run it: separate processes on loopback.
// Two peers play whole games against each other; a single peer meets
// scripted servers that fail it in each way it must report.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "platform/timers.h"
#include "tests/links/lan_test_support.h"
#include "tools/peer/peer.h"

namespace zervik {
namespace {

using test::LanTestApp;
using test::ProcessUntil;

// Whole games at a hundredth of the program's timing; the limit only
// turns a hang into a failure.
constexpr int kGamesLimitMs = 400000;
constexpr int kFailureLimitMs = 60000;

const char* const kFirstPositionMoves =
    "moves: a2a3 a2a4 b1a3 b1c3 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g1f3 g1h3 g2g3 "
    "g2g4 h2h3 h2h4";

std::vector<std::string> Lines(const QByteArray& bytes) {
  std::vector<std::string> lines;
  for (const QByteArray& line : bytes.split('\n')) lines.push_back(line.toStdString());
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// One zervik-peer process; its output is collected as it comes.
class TPeerProcess {
 public:
  explicit TPeerProcess(const QStringList& args) {
    QObject::connect(&process, &QProcess::readyReadStandardOutput,
                     [this] { out += process.readAllStandardOutput(); });
    QObject::connect(&process, &QProcess::readyReadStandardError,
                     [this] { err += process.readAllStandardError(); });
    process.start(QString(ZERVIK_PEER_PATH), args);
  }
  ~TPeerProcess() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      ProcessUntil([this] { return process.state() == QProcess::NotRunning; }, 5000);
    }
  }

  bool Finished() const { return process.state() == QProcess::NotRunning; }
  bool WaitFinished(int limitMs) { return ProcessUntil([this] { return Finished(); }, limitMs); }
  int ExitCode() const {
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
  // The port of "listening: PORT", once it is out.
  int ListeningPort() {
    if (!ProcessUntil([this] { return out.contains('\n') || Finished(); })) return 0;
    const std::vector<std::string> lines = Lines(out);
    if (lines.empty() || lines[0].rfind("listening: ", 0) != 0) return 0;
    return std::stoi(lines[0].substr(11));
  }

  std::vector<std::string> StdoutLines() const { return Lines(out); }
  std::string Stderr() const { return err.toStdString(); }
  // The record lines printed as they were added (no move lists, no port).
  std::vector<std::string> StreamedRecord() const {
    std::vector<std::string> lines;
    for (const std::string& line : StdoutLines()) {
      if (line == "--- record ---") break;
      if (line.rfind("moves: ", 0) == 0 || line.rfind("listening: ", 0) == 0) continue;
      lines.push_back(line);
    }
    return lines;
  }
  // The record as it stood at exit; empty without the dump line.
  std::vector<std::string> FinalRecord() const {
    const std::vector<std::string> lines = StdoutLines();
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == "--- record ---") return {lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, lines.end()};
    return {};
  }
  std::vector<std::string> MoveLists() const {
    std::vector<std::string> lines;
    for (const std::string& line : StdoutLines())
      if (line.rfind("moves: ", 0) == 0) lines.push_back(line);
    return lines;
  }

  QProcess process;
  QByteArray out;
  QByteArray err;
};

int CountOf(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

bool IsResult(const std::string& line) { return line == "1-0" || line == "0-1" || line == "1/2-1/2"; }

class PeerTest : public ::testing::Test {
 protected:
  void SetUp() override { LanTestApp(); }
};

struct TPairCase {
  const char* name;
  const char* address;  // how the second peer names the first ("%1" the port)
  int games;
  QStringList extra;    // given to both
};

void PrintTo(const TPairCase& row, std::ostream* os) { *os << row.name; }

class PeerPairTest : public PeerTest, public ::testing::WithParamInterface<TPairCase> {};

TEST_P(PeerPairTest, BothPlayEveryGameAndExitWithTheSameRecord) {
  const TPairCase& row = GetParam();
  const QStringList common = QStringList{"--games", QString::number(row.games), "--time-scale", "0.01"} + row.extra;
  TPeerProcess server(QStringList{"--listen", "0", "--name", "Алиса", "--colour", "white", "--seed", "11",
                                  "--list-moves"} +
                      common);
  const int port = server.ListeningPort();
  ASSERT_GT(port, 0) << server.Stderr();
  TPeerProcess client(QStringList{"--connect", QString(row.address).arg(port), "--name", "Борис",
                                  "--colour", "black", "--seed", "12"} +
                      common);
  ASSERT_TRUE(client.WaitFinished(kGamesLimitMs)) << "the client never finished";
  ASSERT_TRUE(server.WaitFinished(kGamesLimitMs)) << "the server never finished";
  EXPECT_EQ(server.ExitCode(), 0) << server.Stderr();
  EXPECT_EQ(client.ExitCode(), 0) << client.Stderr();
  EXPECT_EQ(server.Stderr(), "");
  EXPECT_EQ(client.Stderr(), "");

  const std::vector<std::string> record = server.FinalRecord();
  EXPECT_EQ(client.FinalRecord(), record);
  EXPECT_EQ(CountOf(record, "Начало новой игры."), row.games);
  EXPECT_EQ(std::count_if(record.begin(), record.end(), IsResult), row.games);
  // What was printed as it came is what stood at the end, but for the
  // marks appended later (which go before a draw offer's "=").
  for (const TPeerProcess* peer : {&server, &client}) {
    const std::vector<std::string> streamed = peer->StreamedRecord();
    ASSERT_EQ(streamed.size(), record.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
      std::string added = streamed[i];
      if (!added.empty() && added.back() == '=') added.pop_back();
      EXPECT_EQ(record[i].rfind(added, 0), 0u)
          << "line " << i << ": '" << streamed[i] << "' / '" << record[i] << "'";
    }
  }

  // The white server lists the moves of the first position before its
  // first move, and every list is sorted without repeats.
  const std::vector<std::string> lists = server.MoveLists();
  ASSERT_FALSE(lists.empty());
  EXPECT_EQ(lists.front(), kFirstPositionMoves);
  for (const std::string& list : lists) {
    std::vector<std::string> moves;
    std::size_t at = 7;
    while (at <= list.size()) {
      const std::size_t space = list.find(' ', at);
      moves.push_back(list.substr(at, space - at));
      if (space == std::string::npos) break;
      at = space + 1;
    }
    EXPECT_TRUE(std::is_sorted(moves.begin(), moves.end())) << list;
    EXPECT_EQ(std::adjacent_find(moves.begin(), moves.end()), moves.end()) << list;
  }
  EXPECT_TRUE(client.MoveLists().empty()) << "the client was not asked to list its moves";
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PeerPairTest,
    ::testing::Values(
        // The draw offer bounds the random games; the offer and its
        // acceptance are part of what is checked.
        TPairCase{"ThreeGamesOverIPv4", "127.0.0.1:%1", 3,
                  {"--offer-draw-after", "60", "--accept-draws"}},
        TPairCase{"OneGameOverIPv6", "[::1]:%1", 1, {"--offer-draw-after", "10", "--accept-draws"}},
        // Without draws every game ends by the rules alone.
        TPairCase{"TwoGamesToTheirOwnEnd", "127.0.0.1:%1", 2, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Both sides play scripted moves: the scholar's mate, the same record on
// both, the mate marked on the mating move.
TEST_F(PeerTest, ScriptedMovesArePlayedInOrder) {
  TPeerProcess server(QStringList{"--listen", "0", "--name", "W", "--colour", "white", "--time-scale",
                                  "0.01", "--moves", "e2e4 f1c4 d1h5 h5f7"});
  const int port = server.ListeningPort();
  ASSERT_GT(port, 0) << server.Stderr();
  TPeerProcess client(QStringList{"--connect", QString("127.0.0.1:%1").arg(port), "--name", "B",
                                  "--colour", "black", "--time-scale", "0.01", "--moves",
                                  "e7e5 b8c6 g8f6", "--chat", "удачи"});
  ASSERT_TRUE(client.WaitFinished(kGamesLimitMs)) << "the client never finished";
  ASSERT_TRUE(server.WaitFinished(kGamesLimitMs)) << "the server never finished";
  EXPECT_EQ(server.ExitCode(), 0) << server.Stderr();
  EXPECT_EQ(client.ExitCode(), 0) << client.Stderr();
  const std::vector<std::string> expected = {"Начало новой игры.", "1. e4", "1. e5", "B: удачи", "2. Сc4", "2. Кc6",
                                             "3. Фh5", "3. Кf6", "4. Фxf7++", "1-0"};
  EXPECT_EQ(server.FinalRecord(), expected);
  EXPECT_EQ(client.FinalRecord(), expected);
}

TEST_F(PeerTest, IllegalScriptedMoveEndsThePeerWithAReason) {
  TPeerProcess server(QStringList{"--listen", "0", "--colour", "white", "--time-scale", "0.01",
                                  "--moves", "e2e4"});
  const int port = server.ListeningPort();
  ASSERT_GT(port, 0) << server.Stderr();
  TPeerProcess client(QStringList{"--connect", QString("127.0.0.1:%1").arg(port), "--colour", "black",
                                  "--time-scale", "0.01", "--moves", "e7e5 e8e6"});
  ASSERT_TRUE(client.WaitFinished(kGamesLimitMs)) << "the client never finished";
  EXPECT_EQ(client.ExitCode(), 1);
  EXPECT_NE(client.Stderr().find("move 2 of --moves, e8e6, is not legal here"), std::string::npos)
      << client.Stderr();
}

// A scripted server: it accepts one peer and writes `greeting` to it, then
// answers nothing.
class TScriptedServer {
 public:
  explicit TScriptedServer(QByteArray greeting) : greeting(std::move(greeting)) {
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* peer = server.nextPendingConnection()) {
        peer->setParent(&server);
        peer->write(this->greeting);
      }
    });
  }
  int Port() const { return server.serverPort(); }

 private:
  QTcpServer server;
  QByteArray greeting;
};

int UnusedPort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const int port = probe.serverPort();
  probe.close();
  return port;
}

struct TFailureCase {
  const char* name;
  QByteArray greeting;  // what the scripted server says; empty: no server
  const char* reason;   // part of the one line on stderr
};

void PrintTo(const TFailureCase& row, std::ostream* os) { *os << row.name; }

class PeerFailureTest : public PeerTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(PeerFailureTest, ExitsNonZeroWithOneLineWhy) {
  const TFailureCase& row = GetParam();
  std::unique_ptr<TScriptedServer> server;
  int port = 0;
  if (row.greeting.isEmpty()) {
    port = UnusedPort();
  } else {
    server = std::make_unique<TScriptedServer>(row.greeting);
    port = server->Port();
  }
  TPeerProcess peer(QStringList{"--connect", QString("127.0.0.1:%1").arg(port), "--time-scale", "0.01"});
  ASSERT_TRUE(peer.WaitFinished(kFailureLimitMs));
  EXPECT_NE(peer.ExitCode(), 0);
  const std::vector<std::string> errLines = Lines(peer.err);
  ASSERT_EQ(errLines.size(), 1u) << peer.Stderr();
  EXPECT_NE(errLines[0].find(row.reason), std::string::npos) << errLines[0];
  EXPECT_FALSE(peer.StdoutLines().empty());
  EXPECT_EQ(CountOf(peer.StdoutLines(), "--- record ---"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PeerFailureTest,
    ::testing::Values(TFailureCase{"ConnectionFails", {}, "could not connect"},
                      TFailureCase{"VersionMismatch", "rbw1::>ver99::>", "another protocol version"},
                      TFailureCase{"OpponentVanishes", "rbw1::>ver100::>", "vanished"},
                      TFailureCase{"OpponentLeavesEarly", "rbw1::>ver100::>ext::>", "left after 0 of 1"}),
    [](const auto& info) { return std::string(info.param.name); });

// --time-scale shortens every timer but the link watch's, which waits for a
// network round trip: a busy machine must not make a fast peer give its
// opponent up. The watch's probe still comes after the last wait has ended.
TEST(PeerTimers, TimeScaleKeepsTheLinkWatchAtItsWallClockMinimum) {
  struct TRow {
    double scale;
    int tag;
    int requestedMs;
    int wallClockMs;
  } rows[] = {
      {0.01, tagKeepAlive, kKeepAliveMs, kMinKeepAliveWaitMs},
      {0.1, tagKeepAlive, kKeepAliveMs, kMinKeepAliveWaitMs},
      {0.5, tagKeepAlive, kKeepAliveMs, 4000},
      {1.0, tagKeepAlive, kKeepAliveMs, kKeepAliveMs},
      {2.0, tagKeepAlive, kKeepAliveMs, 16000},
      {0.01, tagLinkWatch, kLinkWatchMs, kMinLinkWatchMs},
      {0.1, tagLinkWatch, kLinkWatchMs, kMinLinkWatchMs},
      {0.5, tagLinkWatch, kLinkWatchMs, 10000},
      {1.0, tagLinkWatch, kLinkWatchMs, kLinkWatchMs},
      {0.01, tagRefusalNotice, kRefusalNoticeMs, 30},
      {0.01, tagAnimation, kAnimationTickMs, 1},
  };
  static_assert(kMinLinkWatchMs > kMinKeepAliveWaitMs);
  for (const TRow& row : rows) {
    TPeerTimers timers(row.scale);
    EXPECT_EQ(timers.WallClockInterval(row.tag, row.requestedMs), row.wallClockMs)
        << "scale " << row.scale << ", tag " << row.tag;
  }
}

TEST_F(PeerTest, TakenPortIsReported) {
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress::Any, 0));
  TPeerProcess peer(QStringList{"--listen", QString::number(holder.serverPort())});
  ASSERT_TRUE(peer.WaitFinished(kFailureLimitMs));
  EXPECT_NE(peer.ExitCode(), 0);
  const std::vector<std::string> errLines = Lines(peer.err);
  ASSERT_EQ(errLines.size(), 1u) << peer.Stderr();
  EXPECT_NE(errLines[0].find("could not listen on port " + std::to_string(holder.serverPort())),
            std::string::npos)
      << errLines[0];
}

TEST_F(PeerTest, BadCommandLineShowsTheUsage) {
  TPeerProcess peer(QStringList{"--listen", "0", "--colour", "green"});
  ASSERT_TRUE(peer.WaitFinished(kFailureLimitMs));
  EXPECT_EQ(peer.ExitCode(), 2);
  EXPECT_NE(peer.Stderr().find("usage: zervik-peer"), std::string::npos) << peer.Stderr();
  EXPECT_TRUE(peer.StdoutLines().empty());
}

}  // namespace
}  // namespace zervik
