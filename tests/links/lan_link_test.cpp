// The LAN link over real loopback sockets: two whole copies play through
// it, and the link's own behaviour (routing, one opponent per server, a
// taken port, failed and cancelled attempts, IPv6) is checked against raw
// Qt sockets. Every server listens on a port the system picks.
#include "links/lan_link.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "platform/virtual_timers.h"
#include "tests/links/lan_test_support.h"

namespace zervik {
namespace {

using test::LanTestApp;
using test::ProcessFor;
using test::ProcessUntil;
using test::TCountingPanel;
using test::TLanCopy;

// Long enough for a stray event (a late connection, a second link-up) to
// have arrived if it were coming.
constexpr int kSettleMs = 300;

// A port nobody listens on: taken from the system, then given back.
int UnusedPort() {
  QTcpServer probe;
  EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const int port = probe.serverPort();
  probe.close();
  return port;
}

// A square in real chess terms ("e2") as a square of `copy`'s own view.
std::pair<int, int> LocalSquare(const THeadlessCopy& copy, const std::string& square) {
  const int file = square[0] - 'a' + 1;
  const int rank = square[1] - '0';
  if (copy.game.localColour == 0) return {file, rank};
  return {9 - file, 9 - rank};
}

// ---------------------------------------------------------------------------
// Two whole copies joined by the link

class LanMatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LanTestApp();
    server = std::make_unique<TLanCopy>("Сервер");
    client = std::make_unique<TLanCopy>("Клиент");
    server->copy.match.SeedCoinToss(1);
    client->copy.match.SeedCoinToss(2);
  }

  // The server copy on its waiting screen, the client copy on the address
  // screen after "ОК", as the screens leave them.
  void Connect(const std::string& address) {
    TScreenData& s = server->copy.screen;
    s.screenState = ssLanWaitClient;
    s.panelShown = true;
    server->link.StartLanServer();
    ASSERT_TRUE(server->link.ServerActive()) << s.promptText;
    port = server->link.ListeningPort();
    ASSERT_GT(port, 0);

    TScreenData& c = client->copy.screen;
    c.screenState = ssLanEnterHost;
    c.panelShown = true;
    c.screenButtons[btnPanelMid].visible = false;
    client->link.SetPort(port);
    client->link.ConnectToServer(address);
    ASSERT_TRUE(ProcessUntil([&] {
      return server->linkUps == 1 && client->linkUps == 1 && s.screenState == ssPlayerSetup &&
             c.screenState == ssPlayerSetup;
    })) << "no link to " << address << ": client failures " << client->failures << ", prompt '"
        << c.promptText << "'";
  }

  // The server's player picks white first, the client's takes black.
  void ChooseColours() {
    ASSERT_EQ(server->copy.PickColour(0) == prRefused, false);
    ASSERT_TRUE(ProcessUntil([&] { return !client->copy.match.ColourAvailable(0); }));
    ASSERT_EQ(client->copy.PickColour(1), prGameStarts);
    ASSERT_TRUE(ProcessUntil([&] {
      return server->copy.GamesStarted() == 1 && client->copy.GamesStarted() == 1;
    }));
  }

  TLanCopy& White() { return server->copy.game.localColour == 0 ? *server : *client; }
  TLanCopy& Black() { return server->copy.game.localColour == 0 ? *client : *server; }
  TLanCopy& Other(TLanCopy& one) { return &one == server.get() ? *client : *server; }

  // `mover` plays the move given in real squares once it may; returns when
  // the other copy shows it and has the turn.
  void Play(TLanCopy& mover, const std::string& move) {
    ASSERT_TRUE(ProcessUntil([&] { return mover.copy.CanMove(); })) << "no turn for " << move;
    const auto [fx, fy] = LocalSquare(mover.copy, move.substr(0, 2));
    const auto [tx, ty] = LocalSquare(mover.copy, move.substr(2, 2));
    ASSERT_TRUE(mover.copy.PlayMove(TLocalMove{fx, fy, tx, ty, 0})) << move;
    TLanCopy& other = Other(mover);
    ASSERT_TRUE(ProcessUntil([&] {
      return other.copy.CanMove() && other.copy.RecordTexts() == mover.copy.RecordTexts();
    })) << "the other copy never got " << move;
  }

  // Both copies' record panels, line by line, from the last new game on.
  static std::vector<THeadlessRecordLine> GameLines(const THeadlessCopy& copy) {
    const auto& lines = copy.RecordLines();
    std::size_t start = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].text == "Начало новой игры.") start = i + 1;
    return {lines.begin() + static_cast<std::ptrdiff_t>(start), lines.end()};
  }

  std::unique_ptr<TLanCopy> server;
  std::unique_ptr<TLanCopy> client;
  int port = 0;
};

TEST_F(LanMatchTest, GameWithCaptureCheckAndChatReadsTheSameOnBothCopies) {
  Connect("127.0.0.1");
  EXPECT_TRUE(server->link.IsServerCopy());
  EXPECT_FALSE(client->link.IsServerCopy());
  EXPECT_EQ(client->link.serverAddress, "127.0.0.1");
  ChooseColours();
  EXPECT_EQ(server->copy.game.localColour, 0);
  EXPECT_EQ(client->copy.game.localColour, 1);

  TLanCopy& white = White();
  TLanCopy& black = Black();
  Play(white, "e2e4");
  Play(black, "d7d5");
  Play(white, "e4d5");  // capture
  // The captured pawn is gone on both boards; the capturing one stands on d5.
  const auto [wx, wy] = LocalSquare(white.copy, "d5");
  const auto [bx, by] = LocalSquare(black.copy, "d5");
  EXPECT_EQ(white.copy.game.board[wx][wy], pcPawn);
  EXPECT_EQ(black.copy.game.board[bx][by], -pcPawn);
  Play(black, "d8d5");  // capture back
  Play(white, "b1c3");
  Play(black, "d5e5");  // check along the open e-file
  EXPECT_TRUE(white.copy.game.kingInCheck);
  bool checkShown = false;
  for (const auto& banner : white.copy.BannersRequested()) checkShown |= banner.text == "Шах";
  EXPECT_TRUE(checkShown);

  // Chat both ways; the peer's text is carried as typed, markup included.
  white.copy.TypeChat("Привет!");
  ASSERT_TRUE(ProcessUntil([&] { return black.copy.RecordTexts() == white.copy.RecordTexts(); }));
  black.copy.TypeChat("<b>не жирный</b> & ответ");
  ASSERT_TRUE(ProcessUntil([&] {
    return white.copy.RecordTexts().size() == black.copy.RecordTexts().size();
  }));
  Play(white, "f1e2");  // out of check

  const std::vector<std::pair<std::string, TColor>> expected = {
      {"1. e4", clBlack},
      {"1. d5", clBlack},
      {"2. exd5", clBlack},
      {"2. Фxd5", clBlack},
      {"3. Кc3", clBlack},
      {"3. Фe5+", clBlack},
      {white.copy.match.playerName + ": Привет!", clNavy},
      {black.copy.match.playerName + ": <b>не жирный</b> & ответ", clMaroon},
      {"4. Сe2", clBlack},
  };
  for (const TLanCopy* side : {&white, &black}) {
    const auto lines = GameLines(side->copy);
    ASSERT_EQ(lines.size(), expected.size()) << side->copy.match.playerName;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(lines[i].text, expected[i].first) << side->copy.match.playerName << " line " << i;
      EXPECT_EQ(lines[i].colour, expected[i].second)
          << side->copy.match.playerName << " line " << i << " '" << lines[i].text << "'";
    }
  }
  EXPECT_EQ(server->linkUps, 1);
  EXPECT_EQ(client->linkUps, 1);
}

// Who leaves with "ext": the message reaches the other copy although the
// leaving copy closes its socket right after writing it.
class LanLeaveTest : public LanMatchTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LanLeaveTest, LeavingCopysExtEndsTheMatchOnTheOther) {
  Connect("127.0.0.1");
  ChooseColours();
  TLanCopy& leaver = GetParam() ? *server : *client;
  TLanCopy& stayer = Other(leaver);
  leaver.copy.Leave();
  EXPECT_FALSE(leaver.link.ServerActive());
  EXPECT_FALSE(leaver.link.ClientActive());
  ASSERT_TRUE(ProcessUntil([&] { return stayer.copy.match.endReason != meNone; }));
  EXPECT_EQ(stayer.copy.match.endReason, meOpponentLeft);
  EXPECT_EQ(stayer.copy.BannersRequested().back().text,
            leaver.copy.match.playerName + " вышел из игры");
  EXPECT_FALSE(stayer.link.ServerActive());
  EXPECT_FALSE(stayer.link.ClientActive());
}

INSTANTIATE_TEST_SUITE_P(Sides, LanLeaveTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "ServerLeaves" : "ClientLeaves"; });

// A copy that vanishes without "ext" is noticed by the other's link watch,
// not by the socket closing.
TEST_F(LanMatchTest, VanishedServerIsNoticedByTheLinkWatch) {
  Connect("127.0.0.1");
  ChooseColours();
  server.reset();
  ASSERT_TRUE(ProcessUntil([&] { return client->copy.match.endReason != meNone; }));
  EXPECT_EQ(client->copy.match.endReason, meNoAnswer);
  EXPECT_EQ(client->linkUps, 1);
}

TEST_F(LanMatchTest, FurtherClientIsClosedWithoutDisturbingTheMatch) {
  Connect("127.0.0.1");
  ChooseColours();
  const std::vector<std::string> recordBefore = server->copy.RecordTexts();

  QTcpSocket intruder;
  QByteArray intruderGot;
  bool intruderConnected = false;
  QObject::connect(&intruder, &QTcpSocket::connected, [&] { intruderConnected = true; });
  QObject::connect(&intruder, &QTcpSocket::readyRead, [&] { intruderGot += intruder.readAll(); });
  intruder.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
  ASSERT_TRUE(ProcessUntil([&] {
    return intruderConnected && intruder.state() == QAbstractSocket::UnconnectedState;
  })) << "the further client was never closed";
  intruder.write("rbw1::>ver100::>extx::>");
  ProcessFor(kSettleMs);

  EXPECT_EQ(server->linkUps, 1);
  EXPECT_TRUE(intruderGot.isEmpty()) << intruderGot.toStdString();
  EXPECT_EQ(server->copy.match.endReason, meNone);
  EXPECT_EQ(server->copy.RecordTexts(), recordBefore);
  EXPECT_TRUE(server->link.ServerConnected());
  // The match goes on over the first connection.
  Play(White(), "e2e4");
  Play(Black(), "e7e5");
}

// The address field takes IPv4 and IPv6 addresses and host names.
class LanAddressTest : public LanMatchTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(LanAddressTest, ClientReachesTheServer) {
  std::string address = GetParam();
  if (address == "link-local") {
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
      if (!(face.flags() & QNetworkInterface::IsUp)) continue;
      for (const QNetworkAddressEntry& entry : face.addressEntries()) {
        const QHostAddress ip = entry.ip();
        if (ip.protocol() == QAbstractSocket::IPv6Protocol && ip.isLinkLocal()) {
          QHostAddress bare = ip;
          bare.setScopeId(QString());
          address = (bare.toString() + "%" + face.name()).toStdString();
        }
      }
      if (address != "link-local") break;
    }
    if (address == "link-local") GTEST_SKIP() << "this machine has no IPv6 link-local address";
  }
  Connect(address);
  EXPECT_EQ(client->link.serverAddress, address);
  ChooseColours();
  Play(White(), "g1f3");
}

INSTANTIATE_TEST_SUITE_P(Addresses, LanAddressTest,
                         ::testing::Values("127.0.0.1", "localhost", "::1", "[::1]", "link-local"),
                         [](const auto& info) {
                           std::string name;
                           for (char ch : info.param)
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

// ---------------------------------------------------------------------------
// The link alone, against raw sockets

class LanLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { LanTestApp(); }
};

class TRecordingSender : public ISender {
 public:
  void SendToOpponent(const std::string& text) override { sent.push_back(text); }
  std::vector<std::string> sent;
};

// SendToOpponent tries ss1, then cs1, then the serial line, and stops at
// the first that is active even when it has nobody to write to.
TEST_F(LanLinkTest, SendingFollowsTheActiveLink) {
  TVirtualTimers timers;
  TScreenData screen;
  TCountingPanel panel;
  TRecordingSender serial;
  TLanLink link(screen, panel, timers, 0);
  link.SetSerialLink(&serial, nullptr);

  link.SendToOpponent("oks");
  EXPECT_EQ(serial.sent, std::vector<std::string>{"oks"}) << "idle: the serial line";

  link.StartLanServer();
  ASSERT_TRUE(link.ServerActive());
  link.SendToOpponent("cht nobody hears this");
  EXPECT_EQ(serial.sent.size(), 1u) << "listening without a client writes nothing";

  // The one client of ss1 receives the framed Windows-1251 text.
  QTcpSocket peer;
  QByteArray got;
  QObject::connect(&peer, &QTcpSocket::readyRead, [&] { got += peer.readAll(); });
  int linkUps = 0;
  link.onLinkEstablished = [&] { ++linkUps; };
  peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(link.ListeningPort()));
  ASSERT_TRUE(ProcessUntil([&] { return linkUps == 1; }));
  link.SendToOpponent("chtИгрок: да");
  const QByteArray expected = QByteArray::fromStdString(Utf8ToCp1251("chtИгрок: да") + "::>");
  ASSERT_TRUE(ProcessUntil([&] { return got.size() >= expected.size(); }));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(serial.sent.size(), 1u);

  // Back to idle, then the client side: cs1 carries the text.
  link.CloseLanSockets();
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  link.SetPort(server.serverPort());
  link.ConnectToServer("127.0.0.1");
  ASSERT_TRUE(ProcessUntil([&] { return linkUps == 2 && server.hasPendingConnections(); }));
  QTcpSocket* accepted = server.nextPendingConnection();
  link.SendToOpponent("ver100");
  ASSERT_TRUE(ProcessUntil([&] { return accepted->bytesAvailable() >= 9; }));
  EXPECT_EQ(accepted->readAll(), QByteArray("ver100::>"));
  EXPECT_EQ(serial.sent.size(), 1u);
}

// Messages from either socket are cut at "::>" and decoded; a rest without
// its delimiter waits for the next read.
TEST_F(LanLinkTest, ReadsAreCutIntoMessages) {
  TVirtualTimers timers;
  TLanLink link(timers, 0);
  std::vector<std::string> received;
  link.onOpponentMessage = [&](const std::string& message) { received.push_back(message); };
  link.StartLanServer();
  QTcpSocket peer;
  peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(link.ListeningPort()));
  ASSERT_TRUE(ProcessUntil([&] { return link.ServerConnected(); }));
  peer.write(QByteArray("rbw1::>ver100::>cht") +
             QByteArray::fromStdString(Utf8ToCp1251("Ира: при")));
  ASSERT_TRUE(ProcessUntil([&] { return received.size() == 2; }));
  peer.write(QByteArray::fromStdString(Utf8ToCp1251("вет::>")));
  ASSERT_TRUE(ProcessUntil([&] { return received.size() == 3; }));
  EXPECT_EQ(received, (std::vector<std::string>{"rbw1", "ver100", "chtИра: привет"}));
}

// What holds the port decides nothing: the server copy shows the port
// taken in red on its waiting screen and stays usable.
class PortTakenTest : public LanLinkTest, public ::testing::WithParamInterface<QHostAddress::SpecialAddress> {};

TEST_P(PortTakenTest, WaitingScreenShowsThePortTakenInRed) {
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress(GetParam()), 0)) << holder.errorString().toStdString();
  const int taken = holder.serverPort();

  TVirtualTimers timers;
  TScreenData screen;
  screen.screenState = ssLanWaitClient;
  screen.panelShown = true;
  screen.promptText = "Ожидание соединения...";
  TCountingPanel panel;
  TLanLink link(screen, panel, timers, taken);
  link.StartLanServer();
  EXPECT_FALSE(link.ServerActive());
  EXPECT_EQ(screen.promptText, "Порт " + std::to_string(taken) + " занят");
  EXPECT_EQ(screen.promptColour, clRed);
  EXPECT_GE(panel.paints, 1);
  EXPECT_TRUE(holder.isListening());

  // "Назад" closes what there is; the next try on a free port listens.
  link.CloseLanSockets();
  holder.close();
  link.StartLanServer();
  EXPECT_TRUE(link.ServerActive());
  EXPECT_EQ(link.ListeningPort(), taken);
}

INSTANTIATE_TEST_SUITE_P(Holders, PortTakenTest,
                         ::testing::Values(QHostAddress::Any, QHostAddress::AnyIPv4,
                                           QHostAddress::AnyIPv6),
                         [](const auto& info) {
                           switch (info.param) {
                             case QHostAddress::AnyIPv4: return std::string("IPv4Socket");
                             case QHostAddress::AnyIPv6: return std::string("IPv6Socket");
                             default: return std::string("DualStackSocket");
                           }
                         });

// "Назад" while the attempt still runs: it never turns into a match, and
// the next attempt starts afresh.
class CancelledAttemptTest : public LanLinkTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CancelledAttemptTest, CancelledAttemptNeverStartsAMatch) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::Any, 0));
  int accepted = 0;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* s = server.nextPendingConnection()) {
      ++accepted;
      s->setParent(&server);
    }
  });

  TVirtualTimers timers;
  TScreenData screen;
  screen.screenState = ssLanEnterHost;
  screen.panelShown = true;
  TCountingPanel panel;
  TLanLink link(screen, panel, timers, server.serverPort());
  int linkUps = 0, failures = 0;
  link.onLinkEstablished = [&] { ++linkUps; };
  link.onConnectionFailed = [&] { ++failures; };

  link.ConnectToServer(GetParam());
  link.CloseLanSockets();
  screen.screenState = ssLanMenu;
  ProcessFor(kSettleMs);
  EXPECT_EQ(linkUps, 0);
  EXPECT_EQ(failures, 0);
  EXPECT_FALSE(link.ClientActive());
  EXPECT_FALSE(link.ClientConnecting());
  EXPECT_FALSE(timers.HasTimer(tagConnectLimit));
  EXPECT_EQ(screen.promptColour, clBlack);

  screen.screenState = ssLanEnterHost;
  link.ConnectToServer(GetParam());
  ASSERT_TRUE(ProcessUntil([&] { return linkUps == 1; }));
  EXPECT_TRUE(link.ClientActive());
  EXPECT_FALSE(timers.HasTimer(tagConnectLimit));
}

INSTANTIATE_TEST_SUITE_P(Addresses, CancelledAttemptTest,
                         ::testing::Values("localhost", "127.0.0.1", "::1"),
                         [](const auto& info) {
                           return info.param == "localhost" ? std::string("HostName")
                                  : info.param == "::1"     ? std::string("IPv6")
                                                            : std::string("IPv4");
                         });

// A failed attempt on the address screen: the red text, "ОК" still hidden,
// and after 1500 ms the prompt and "ОК" again.
struct TFailureCase {
  const char* name;
  std::string address;  // "refused": 127.0.0.1 on a port nobody listens on
};

class FailedAttemptTest : public LanLinkTest, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(FailedAttemptTest, RedTextThenThePromptComesBack) {
  TVirtualTimers timers;
  TScreenData screen;
  screen.screenState = ssLanEnterHost;
  screen.panelShown = true;
  screen.promptText = kHostPromptText;
  screen.screenButtons[btnPanelMid].visible = false;  // "ОК" hides itself
  TCountingPanel panel;
  TLanLink link(screen, panel, timers, UnusedPort());
  int linkUps = 0, failures = 0;
  link.onLinkEstablished = [&] { ++linkUps; };
  link.onConnectionFailed = [&] { ++failures; };

  const std::string address = GetParam().address;
  link.ConnectToServer(address);
  EXPECT_EQ(link.serverAddress, address);
  ASSERT_TRUE(ProcessUntil([&] { return failures > 0; }));
  EXPECT_EQ(screen.promptText, kServerNotFoundText);
  EXPECT_EQ(screen.promptColour, clRed);
  EXPECT_EQ(panel.centres, 0) << "the text starts where the prompt started";
  EXPECT_FALSE(screen.screenButtons[btnPanelMid].visible);
  EXPECT_FALSE(link.ClientConnecting());
  EXPECT_FALSE(timers.HasTimer(tagConnectLimit));

  timers.Advance(kRestorePromptMs - 1);
  EXPECT_EQ(screen.promptColour, clRed);
  timers.Advance(1);
  EXPECT_EQ(screen.promptText, kHostPromptText);
  EXPECT_EQ(screen.promptColour, clBlack);
  EXPECT_TRUE(screen.screenButtons[btnPanelMid].visible);
  EXPECT_FALSE(timers.HasTimer(tagRestorePrompt));
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(linkUps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedAttemptTest,
    ::testing::Values(TFailureCase{"Refused", "127.0.0.1"},
                      TFailureCase{"RefusedIPv6", "::1"},
                      TFailureCase{"NameDoesNotResolve", "no-such-host.invalid"},
                      TFailureCase{"NoSuchInterface", "fe80::1%no-such-if"}),
    [](const auto& info) { return std::string(info.param.name); });

// The connection limit, on the virtual clock: a look-up still running when
// it passes fails like any other attempt, and a late answer starts nothing.
TEST_F(LanLinkTest, AttemptPastTheLimitFailsAndStaysDead) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::Any, 0));
  TVirtualTimers timers;
  TScreenData screen;
  screen.screenState = ssLanEnterHost;
  screen.panelShown = true;
  screen.promptText = kHostPromptText;
  TCountingPanel panel;
  TLanLink link(screen, panel, timers, server.serverPort());
  int linkUps = 0, failures = 0;
  link.onLinkEstablished = [&] { ++linkUps; };
  link.onConnectionFailed = [&] { ++failures; };

  link.ConnectToServer("localhost");  // the look-up answers only from the event loop
  timers.Advance(kConnectLimitMs - 1);
  EXPECT_TRUE(link.ClientConnecting());
  EXPECT_EQ(screen.promptColour, clBlack);
  timers.Advance(1);
  EXPECT_FALSE(link.ClientConnecting());
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(screen.promptText, kServerNotFoundText);
  EXPECT_EQ(screen.promptColour, clRed);

  ProcessFor(kSettleMs);
  EXPECT_EQ(linkUps, 0);
  EXPECT_FALSE(link.ClientActive());
  timers.Advance(kRestorePromptMs);
  EXPECT_EQ(screen.promptText, kHostPromptText);
}

// On any other screen a failed attempt shows nothing.
TEST_F(LanLinkTest, FailureAwayFromTheAddressScreenShowsNothing) {
  TVirtualTimers timers;
  TScreenData screen;
  screen.screenState = ssPlayerSetup;
  screen.panelShown = true;
  screen.promptText = "Введите имя:";
  TCountingPanel panel;
  TLanLink link(screen, panel, timers, UnusedPort());
  int failures = 0;
  link.onConnectionFailed = [&] { ++failures; };
  link.ConnectToServer("127.0.0.1");
  ASSERT_TRUE(ProcessUntil([&] { return failures > 0; }));
  EXPECT_EQ(screen.promptText, "Введите имя:");
  EXPECT_EQ(screen.promptColour, clBlack);
  EXPECT_EQ(panel.paints, 0);
  EXPECT_FALSE(timers.HasTimer(tagRestorePrompt));
}

TEST_F(LanLinkTest, EmptyAddressStartsNoAttempt) {
  TVirtualTimers timers;
  TLanLink link(timers, 0);
  link.serverAddress = "10.0.0.7";
  link.ConnectToServer("");
  EXPECT_FALSE(link.ClientConnecting());
  EXPECT_FALSE(timers.HasTimer(tagConnectLimit));
  EXPECT_EQ(link.serverAddress, "10.0.0.7");
}

// "Назад" on the waiting screen: the port is free again at once.
TEST_F(LanLinkTest, ClosingTheServerFreesThePort) {
  TVirtualTimers timers;
  TLanLink link(timers, 0);
  link.StartLanServer();
  ASSERT_TRUE(link.ServerActive());
  EXPECT_TRUE(link.IsServerCopy());
  const int bound = link.ListeningPort();
  link.CloseLanSockets();
  EXPECT_FALSE(link.ServerActive());
  EXPECT_FALSE(link.IsServerCopy());
  QTcpServer again;
  EXPECT_TRUE(again.listen(QHostAddress::Any, static_cast<quint16>(bound)))
      << again.errorString().toStdString();
}

}  // namespace
}  // namespace zervik
