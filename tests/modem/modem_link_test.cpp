// The modem link over zervik-modem-sim: whole copies of the program
// without a window answer, dial and play through the simulator's
// pseudo-terminals, mapped to COM3 as a [Ports] entry would map them. The
// copies' timers run ten times faster than the wall clock.
#include "links/modem_link.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/qt_timers.h"
#include "platform/settings.h"
#include "protocol/headless_copy.h"
#include "tests/modem/modem_sim_support.h"

namespace zervik {
namespace {

using test::ProcessFor;
using test::ProcessUntil;
using test::TModemSim;
using test::TRawPort;

constexpr double kCopyTimeScale = 0.1;
constexpr int kComPort = 3;

class TCountingPanel : public IDialogPanel {
 public:
  void OpenDialogPanel() override {}
  void PaintDialogPanel(bool) override { ++paints; }
  void CentreDialogTexts() override { ++centres; }
  void HideDialogFields() override {}
  void VanishPanel() override {}
  int paints = 0, centres = 0;
};

// Everything the copy sends, in order, on its way to the link.
class TRecordingSender : public ISender {
 public:
  explicit TRecordingSender(ISender& link) : link(link) {}
  void SendToOpponent(const std::string& text) override {
    sent.push_back(text);
    link.SendToOpponent(text);
  }
  std::vector<std::string> sent;

 private:
  ISender& link;
};

// One whole copy on its own modem link, its COM3 on `device`.
struct TModemCopy {
  TModemCopy(const std::string& name, const std::string& device)
      : timers(kCopyTimeScale), link(settings, timers), sender(link), copy(sender, link, timers) {
    settings.comPortDevices[kComPort - 1] = device;
    settings.modemPort = kComPort;
    link.SetScreens(copy.screen, linkPanel);
    link.SetMatch(&copy.match);
    link.onLinkEstablished = [this] {
      ++linkUps;
      copy.LinkEstablished();
    };
    link.onOpponentMessage = [this](const std::string& message) {
      received.push_back(message);
      copy.Receive(message);
    };
    link.onFailure = [this](const std::string& text) { failures.push_back(text); };
    // The main menu's opening action.
    copy.hooks.screenOpened = [this](int state) {
      if (state == ssMainMenu) link.CloseAllLinks();
    };
    copy.match.playerName = name;
    copy.nameField = name;
  }

  // Opens `state` as the screens do, then runs the link's part of its
  // opening action.
  void Open(int state) {
    copy.screen.screenState = state;
    copy.match.services.panel->OpenDialogPanel();
  }

  TSettings settings;
  TQtTimers timers;
  TCountingPanel linkPanel;
  TModemLink link;
  TRecordingSender sender;
  THeadlessCopy copy;
  int linkUps = 0;
  std::vector<std::string> received;
  std::vector<std::string> failures;
};

std::pair<int, int> LocalSquare(const THeadlessCopy& copy, const std::string& square) {
  const int file = square[0] - 'a' + 1;
  const int rank = square[1] - '0';
  if (copy.game.localColour == 0) return {file, rank};
  return {9 - file, 9 - rank};
}

// ---------------------------------------------------------------------------
// Two copies through the simulator

class ModemMatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim = std::make_unique<TModemSim>(QStringList{});
    ASSERT_TRUE(sim->started);
    answerer = std::make_unique<TModemCopy>("Ответчик", sim->b);
    dialler = std::make_unique<TModemCopy>("Звонящий", sim->a);
    answerer->copy.match.SeedCoinToss(1);
    dialler->copy.match.SeedCoinToss(2);
  }

  void Call() {
    const int answererUps = answerer->linkUps, diallerUps = dialler->linkUps;
    answerer->Open(ssModemWaitCall);
    answerer->link.StartAnswerMode();
    ASSERT_TRUE(sim->LogHas("B< ATZE1M1^M"));
    ASSERT_TRUE(sim->LogHas("B> OK"));
    EXPECT_EQ(answerer->copy.screen.promptText, kWaitingForCallText);

    dialler->settings.pulseDialling = true;
    dialler->Open(ssModemDialling);
    dialler->link.StartDialling("5551234");
    ASSERT_TRUE(ProcessUntil([&] { return answerer->copy.screen.promptText == kRingText; }))
        << sim->Log();
    ASSERT_TRUE(ProcessUntil([&] {
      return answerer->linkUps == answererUps + 1 && dialler->linkUps == diallerUps + 1 &&
             answerer->copy.screen.screenState == ssPlayerSetup &&
             dialler->copy.screen.screenState == ssPlayerSetup;
    })) << sim->Log();
    EXPECT_TRUE(sim->LogHas("A< ATDP5551234^M"));
    EXPECT_TRUE(sim->LogHas("B< ATA^M"));
  }

  void ChooseColours() {
    ASSERT_NE(answerer->copy.PickColour(0), prRefused);
    ASSERT_TRUE(ProcessUntil([&] { return !dialler->copy.match.ColourAvailable(0); }));
    ASSERT_EQ(dialler->copy.PickColour(1), prGameStarts);
    ASSERT_TRUE(ProcessUntil(
        [&] { return answerer->copy.GamesStarted() == 1 && dialler->copy.GamesStarted() == 1; }));
  }

  TModemCopy& Other(TModemCopy& one) { return &one == answerer.get() ? *dialler : *answerer; }

  // `mover` plays the move in real squares once it may (a pawn reaching
  // the last rank becomes `promotion`); returns when the other copy's
  // record reads the same.
  void Play(TModemCopy& mover, const std::string& move, std::int8_t promotion = 0) {
    ASSERT_TRUE(ProcessUntil([&] { return mover.copy.CanMove(); })) << "no turn for " << move;
    const auto [fx, fy] = LocalSquare(mover.copy, move.substr(0, 2));
    const auto [tx, ty] = LocalSquare(mover.copy, move.substr(2, 2));
    ASSERT_TRUE(mover.copy.PlayMove(TLocalMove{fx, fy, tx, ty, promotion})) << move;
    TModemCopy& other = Other(mover);
    ASSERT_TRUE(ProcessUntil([&] {
      return other.copy.RecordTexts() == mover.copy.RecordTexts() &&
             (other.copy.CanMove() || other.copy.game.gameOver);
    })) << "the other copy never got "
        << move;
  }

  std::unique_ptr<TModemSim> sim;
  std::unique_ptr<TModemCopy> answerer;
  std::unique_ptr<TModemCopy> dialler;
};

TEST_F(ModemMatchTest, AnsweringCopyTossesAndARepetitionDrawReachesBothRecords) {
  Call();
  EXPECT_TRUE(answerer->link.IsServerCopy());
  EXPECT_FALSE(dialler->link.IsServerCopy());
  ASSERT_GE(answerer->sender.sent.size(), 2u);
  EXPECT_EQ(answerer->sender.sent[0].substr(0, 3), "rbw");
  EXPECT_EQ(answerer->sender.sent[1], "ver100");
  ASSERT_GE(dialler->sender.sent.size(), 1u);
  EXPECT_EQ(dialler->sender.sent[0], "ver100");
  ASSERT_TRUE(ProcessUntil([&] { return dialler->received.size() >= 2; }));
  EXPECT_EQ(dialler->received[0], answerer->sender.sent[0]);
  EXPECT_EQ(dialler->received[1], "ver100");
  EXPECT_NE(answerer->copy.match.colourPriority, dialler->copy.match.colourPriority);

  ChooseColours();
  TModemCopy& white = answerer->copy.game.localColour == 0 ? *answerer : *dialler;
  TModemCopy& black = Other(white);
  ASSERT_NE(&white, &black);
  white.copy.TypeChat("Привет, сыграем!");
  ASSERT_TRUE(ProcessUntil([&] { return black.copy.RecordTexts() == white.copy.RecordTexts(); }));

  // The start position comes back twice: the third time is a draw. The
  // mover's "lognl1/2-1/2" is cut to "lognl1" by the serial framing.
  const char* knights[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  for (int i = 0; i < 12 && !white.copy.game.gameOver; ++i) {
    const std::string move = knights[i % 4];
    Play(move[1] < '5' ? white : black, move);
  }
  ASSERT_TRUE(ProcessUntil([&] { return white.copy.game.gameOver && black.copy.game.gameOver; }));
  const auto whiteRecord = white.copy.RecordTexts();
  EXPECT_EQ(whiteRecord.back(), "1/2-1/2");
  EXPECT_EQ(black.copy.RecordTexts(), whiteRecord);
  // The copy that did not make the repeating move got the cut text.
  int restored = 0;
  for (const TModemCopy* side : {&white, &black})
    for (const std::string& m : side->received) restored += m == "lognl1/2-1/2";
  EXPECT_EQ(restored, 1) << "the cut draw text was not restored";
}

// White's a-pawn takes its way to a8 and becomes a queen there; each
// capture and the promotion reach the other board over the line.
TEST_F(ModemMatchTest, CapturesAndAPromotionReachTheOtherBoard) {
  Call();
  ChooseColours();
  TModemCopy& white = answerer->copy.game.localColour == 0 ? *answerer : *dialler;
  TModemCopy& black = Other(white);
  ASSERT_NE(&white, &black);
  const std::vector<std::string> moves = {"a2a4", "b7b5", "a4b5", "a7a6", "b5a6",
                                          "c8b7", "a6b7", "b8c6", "b7a8"};
  for (std::size_t i = 0; i < moves.size(); ++i) {
    const bool last = i + 1 == moves.size();
    Play(i % 2 == 0 ? white : black, moves[i], last ? pcQueen : 0);
    if (HasFatalFailure()) return;
  }
  const auto record = white.copy.RecordTexts();
  ASSERT_FALSE(record.empty());
  EXPECT_EQ(record.back(), "5. bxa8Ф");
  EXPECT_EQ(black.copy.RecordTexts(), record);
  // The queen stands on a8 of both boards, the captured pieces are gone.
  const auto pieceOn = [](const TModemCopy& side, const char* square) {
    const auto [x, y] = LocalSquare(side.copy, square);
    return side.copy.game.board[x][y];
  };
  EXPECT_EQ(pieceOn(white, "a8"), pcQueen);
  EXPECT_EQ(pieceOn(black, "a8"), -pcQueen);
  for (const char* emptied : {"a2", "b7", "a7", "c8", "b8"}) {
    EXPECT_EQ(pieceOn(white, emptied), 0) << emptied;
    EXPECT_EQ(pieceOn(black, emptied), 0) << emptied;
  }
  EXPECT_EQ(pieceOn(black, "c6"), pcKnight);
  EXPECT_EQ(pieceOn(white, "c6"), -pcKnight);
}

TEST_F(ModemMatchTest, LineDroppedDuringTheGameEndsTheMatchOnBothAndThePortsCanCallAgain) {
  Call();
  ChooseColours();
  // A link-watch tick on a modem link reads the carrier, which a
  // pseudo-terminal shows as present, and sends no "oks".
  ProcessFor(static_cast<int>(kLinkWatchMs * kCopyTimeScale * 1.5));
  for (TModemCopy* side : {answerer.get(), dialler.get()}) {
    EXPECT_TRUE(side->copy.match.linkUp);
    for (const std::string& m : side->sender.sent) EXPECT_NE(m, "oks");
  }
  sim->Drop();
  // NO CARRIER ends the match at once: the pseudo-terminals have no
  // carrier line that a link-watch tick could read.
  ASSERT_TRUE(ProcessUntil([&] {
    return answerer->copy.match.endReason == meCarrierLost &&
           dialler->copy.match.endReason == meCarrierLost;
  }));
  for (TModemCopy* side : {answerer.get(), dialler.get()}) {
    EXPECT_FALSE(side->copy.match.modemLinkUp);
    const auto& banners = side->copy.BannersRequested();
    ASSERT_FALSE(banners.empty());
    EXPECT_EQ(banners.back().text, Other(*side).copy.match.playerName + " вышел из игры");
  }
  // After the banner the main menu closes the ports.
  ASSERT_TRUE(ProcessUntil(
      [&] { return !answerer->link.VaComm1.IsOpen() && !dialler->link.VaComm1.IsOpen(); }));
  EXPECT_EQ(answerer->copy.screen.screenState, ssMainMenu);

  // The same ports carry the next match.
  ASSERT_TRUE(ProcessUntil([&] { return sim->Log().rfind("port closed") != std::string::npos; }));
  Call();
  EXPECT_EQ(answerer->linkUps, 2);
  EXPECT_EQ(answerer->copy.match.endReason, meNone);
  EXPECT_TRUE(answerer->link.IsServerCopy());
}

TEST_F(ModemMatchTest, LineGoneWithoutNoCarrierIsNoticedByTheLinkWatch) {
  Call();
  ChooseColours();
  // The simulator goes away: no NO CARRIER comes, the ports report their
  // device gone, and the next link-watch tick finds no carrier.
  sim.reset();
  ASSERT_TRUE(ProcessUntil(
      [&] {
        return answerer->copy.match.endReason == meCarrierLost &&
               dialler->copy.match.endReason == meCarrierLost;
      },
      static_cast<int>(3 * kLinkWatchMs * kCopyTimeScale)));
}

TEST_F(ModemMatchTest, PeerWithPlainSerialFramingCutsDrawTextsThatAreRestored) {
  // The dialling side is a raw peer here: it writes what a copy with the plain framing
  // writes for each message.
  dialler.reset();
  TRawPort peer(sim->a);
  answerer->Open(ssModemWaitCall);
  answerer->link.StartAnswerMode();
  ASSERT_TRUE(sim->LogHas("A: port opened"));
  ASSERT_TRUE(sim->LogHas("B> OK"));
  peer.Write("ATDT1\r");
  ASSERT_TRUE(peer.WaitFor("CONNECT 115200")) << sim->Log();
  ASSERT_TRUE(ProcessUntil([&] { return answerer->linkUps == 1; }));
  // Windows-1251 on the wire: "Иван: да/нет".
  peer.Write(
      ">ver100/>logl1/2-1/2/>lognl1/2-1/2/>logl1. e4/>cht\xC8\xE2\xE0\xED: "
      "\xE4\xE0/\xED\xE5\xF2/>logl1/");
  const std::vector<std::string> expected = {"ver100",    "logl1/2-1/2", "lognl1/2-1/2",
                                             "logl1. e4", "chtИван: да", "logl1/2-1/2"};
  ASSERT_TRUE(ProcessUntil([&] { return answerer->received.size() >= expected.size(); }));
  EXPECT_EQ(answerer->received, expected);
  // What this copy sends is framed as the peer expects.
  ASSERT_TRUE(peer.WaitFor(">ver100/"));
}

// ---------------------------------------------------------------------------
// One copy and what its modem answers

TEST(ModemLinkPort, DefaultPortIsComThreeWhenItOpensElseComOne) {
  TModemSim sim;
  ASSERT_TRUE(sim.started);
  TModemCopy present("Игрок", sim.a);
  present.settings.modemPort = 0;
  present.link.ChooseDefaultModemPort();
  EXPECT_EQ(present.settings.modemPort, 3);
  EXPECT_FALSE(present.link.VaComm1.IsOpen()) << "the probe closes the port again";

  QTemporaryDir dir;
  TModemCopy missing("Игрок", dir.path().toStdString() + "/ttyMissing");
  missing.settings.modemPort = 0;
  missing.link.ChooseDefaultModemPort();
  EXPECT_EQ(missing.settings.modemPort, 1);

  missing.link.ccomportChange(4);
  EXPECT_EQ(missing.settings.modemPort, 5);
}

// The port the probe chose is what the configuration holds after exit,
// and the [Ports] entry that led to it stays as it was.
TEST(ModemLinkPort, ProbedPortIsSavedAtExit) {
  TModemSim sim;
  ASSERT_TRUE(sim.started);
  QTemporaryDir dir;
  const std::string iniPath = dir.filePath("zervik.INI").toStdString();
  {
    QFile file(QString::fromStdString(iniPath));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString("[Ports]\r\nCOM3=" + sim.a + "\r\n"));
  }
  TIniFile ini(iniPath);
  TSettings settings = ReadSettings(ini);
  ASSERT_EQ(settings.modemPort, 0);
  ASSERT_EQ(settings.DeviceForComPort(kComPort), sim.a);
  TQtTimers timers;
  TModemLink link(settings, timers);
  link.ChooseDefaultModemPort();
  ASSERT_EQ(settings.modemPort, kComPort);

  ASSERT_TRUE(WriteSettings(ini, settings).ok);
  EXPECT_EQ(ini.ReadInteger("Options", "ModemPort", -1), kComPort);
  EXPECT_EQ(ini.ReadString("Ports", "COM3", ""), sim.a);
  EXPECT_EQ(ReadSettings(ini), settings);
}

TEST(ModemLinkPort, MissingPortShowsThePortErrorAndDialsNothing) {
  test::TestApp();
  QTemporaryDir dir;
  TModemCopy copy("Игрок", dir.path().toStdString() + "/ttyMissing");
  for (int state : {ssModemDialling, ssModemWaitCall}) {
    copy.Open(state);
    if (state == ssModemDialling)
      copy.link.StartDialling("123");
    else
      copy.link.StartAnswerMode();
    EXPECT_EQ(copy.copy.screen.promptText, "Порт COM3 не найден");
    EXPECT_EQ(copy.copy.screen.promptColour, clRed);
    EXPECT_EQ(copy.copy.screen.screenState, state);
    EXPECT_FALSE(copy.link.VaComm1.IsOpen());
  }
  // "Назад" leads to the number screen, whose prompt is black again.
  copy.Open(ssModemEnterNumber);
  copy.link.CloseAllLinks();
  copy.link.CancelModemCommand();
  EXPECT_EQ(copy.copy.screen.promptColour, clBlack);
  EXPECT_EQ(copy.copy.screen.promptText, "Введите телефонный номер:");
}

// A dial the simulator answers without a call, and what the dialling
// screen then shows.
struct TDialFailure {
  const char* name;
  std::vector<const char*> options;
  bool pulse;
  const char* logged;  // the dial command as the modem received it
  const char* prompt;
  int dialTimeoutMs;  // the link's DialTimeout (before the time scale)
};

void PrintTo(const TDialFailure& row, std::ostream* out) { *out << row.name; }

class ModemDialFailure : public ::testing::TestWithParam<TDialFailure> {};

TEST_P(ModemDialFailure, ShowsItsTextInRedAndStaysOnTheDiallingScreen) {
  const TDialFailure& row = GetParam();
  QStringList options;
  for (const char* o : row.options) options << o;
  TModemSim sim(options);
  ASSERT_TRUE(sim.started);
  TModemCopy copy("Игрок", sim.a);
  copy.settings.pulseDialling = row.pulse;
  copy.link.modem.DialTimeout = row.dialTimeoutMs;
  copy.Open(ssModemDialling);
  copy.link.StartDialling("5551234");
  ASSERT_TRUE(ProcessUntil([&] { return !copy.failures.empty(); })) << sim.Log();
  EXPECT_EQ(copy.failures, std::vector<std::string>{row.prompt});
  EXPECT_EQ(copy.copy.screen.promptText, row.prompt);
  EXPECT_EQ(copy.copy.screen.promptColour, clRed);
  EXPECT_EQ(copy.copy.screen.screenState, ssModemDialling);
  EXPECT_TRUE(sim.LogHas(row.logged));
  EXPECT_EQ(copy.linkUps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    ModemLink, ModemDialFailure,
    ::testing::Values(
        TDialFailure{"BusyPulse", {"--busy"}, true, "A< ATDP5551234^M", "Линия занята", 60000},
        TDialFailure{"BusyTone", {"--busy"}, false, "A< ATDT5551234^M", "Линия занята", 60000},
        TDialFailure{
            "NoDialTone", {"--no-dialtone"}, false, "A< ATDT5551234^M", "Нет гудка", 60000},
        TDialFailure{"Voice", {"--voice"}, true, "A< ATDP5551234^M", "Ответил голос", 60000},
        TDialFailure{"Error", {"--error"}, false, "A< ATDT5551234^M", "Ошибка модема", 60000},
        TDialFailure{"NobodyAnswersTheRings",
                     {"--answer-limit-ms", "300"},
                     true,
                     "A< ATDP5551234^M",
                     "Нет несущей",
                     60000},
        TDialFailure{"NoResponseInDialTimeout",
                     {"--silent", "a"},
                     true,
                     "A< (silent) got ATDP5551234^M",
                     "Абонент не отвечает",
                     3000}),
    [](const ::testing::TestParamInfo<TDialFailure>& info) { return info.param.name; });

TEST(ModemLinkAnswer, SilentModemFailsItsInitialisationAndThePortStaysOpen) {
  TModemSim sim({"--silent", "b"});
  ASSERT_TRUE(sim.started);
  TModemCopy copy("Игрок", sim.b);
  copy.Open(ssModemWaitCall);
  copy.link.StartAnswerMode();
  ASSERT_TRUE(ProcessUntil([&] { return !copy.failures.empty(); }));
  EXPECT_EQ(copy.copy.screen.promptText, "Ошибка при инициализации модема");
  EXPECT_EQ(copy.copy.screen.promptColour, clRed);
  EXPECT_EQ(copy.copy.screen.screenState, ssModemWaitCall);
  EXPECT_TRUE(copy.link.VaComm1.IsOpen());
  EXPECT_TRUE(sim.LogHas("B< (silent) got ATZE1M1^M"));
}

TEST(ModemLinkAnswer, GoingBackBeforeTheTimeOutShowsNoLateError) {
  TModemSim sim({"--silent", "b"});
  ASSERT_TRUE(sim.started);
  TModemCopy copy("Игрок", sim.b);
  copy.Open(ssModemWaitCall);
  copy.link.StartAnswerMode();
  // "Назад" to the modem menu.
  copy.Open(ssModemMenu);
  copy.link.CloseAllLinks();
  ProcessFor(static_cast<int>(2 * kDefaultCommandTimeoutMs * kCopyTimeScale));
  EXPECT_TRUE(copy.failures.empty()) << copy.failures.front();
  EXPECT_EQ(copy.copy.screen.promptText, "Укажите порт модема:");
}

TEST(ModemLinkText, CutDrawTextsAreRestoredAndNothingElse) {
  const std::vector<std::pair<std::string, std::string>> rows = {{"logl1", "logl1/2-1/2"},
                                                                 {"lognl1", "lognl1/2-1/2"},
                                                                 {"logl1. e4", "logl1. e4"},
                                                                 {"logl10. Кf3", "logl10. Кf3"},
                                                                 {"loga+", "loga+"},
                                                                 {"chtИван: l1", "chtИван: l1"},
                                                                 {"logl", "logl"},
                                                                 {"logn", "logn"},
                                                                 {"l1", "l1"}};
  for (const auto& [in, out] : rows) EXPECT_EQ(RestoreCutDrawText(in), out) << in;
  EXPECT_EQ(PortNotFoundText("COM3"), "Порт COM3 не найден");
}

}  // namespace
}  // namespace zervik
