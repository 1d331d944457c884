// The dialog panel's course and the screens it carries.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>

#include "program_fixture.h"

namespace zervik::test {
namespace {

// A serial device that no machine has.
constexpr const char* kMissingDevice = "/nonexistent/zervik-tty";

bool Inside(const TRect& inner, const TRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

int Width(const TRect& r) { return r.right - r.left; }
int Height(const TRect& r) { return r.bottom - r.top; }

using PanelTest = ProgramTest;

TEST_F(PanelTest, FirstPanelGrowsFromNothingWithoutAClosingPhase) {
  std::vector<TRect> frames;
  panel().frameDrawn = [&](const TRect& frame) { frames.push_back(frame); };
  Tick();  // the 0 x 0 panel has closed at once: lay-out, nothing drawn
  EXPECT_TRUE(frames.empty());
  FinishTransition();
  ASSERT_EQ(frames.size(), 9u);
  EXPECT_EQ(Width(frames.front()), 48);   // 20 % of 240
  EXPECT_EQ(Height(frames.front()), 20);  // 20 % of 100
  EXPECT_EQ(frames.back(), form().panelRect);
  EXPECT_EQ(screen().screenState, ssMainMenu);
  EXPECT_TRUE(button(btnPanelTop).visible && button(btnPanelTop).enabled);
  EXPECT_EQ(button(btnPanelTop).caption, "Игра по локальной сети");
  EXPECT_EQ(button(btnPanelMid).caption, "Игра по модему");
}

// Main menu -> LAN menu -> "Сервер": the old 240 x 100 panel shrinks over
// ten ticks, the 240 x 110 waiting screen is laid out on the eleventh,
// grows over nine, and only on the twenty-first does its opening action
// (listening) run.
TEST_F(PanelTest, TransitionRunsTwentyOneTicksAndNoFrameExceedsThePanel) {
  OpenScreen(ssLanMenu);
  const TRect oldRect = form().panelRect;
  std::vector<std::pair<int, TRect>> frames;  // (tick, frame)
  int tick = 0;
  panel().frameDrawn = [&](const TRect& frame) { frames.emplace_back(tick, frame); };
  ClickButton(btnPanelTop);  // "Сервер"
  ASSERT_EQ(screen().screenState, ssLanWaitClient);
  for (tick = 1; tick < kPanelCourseTicks; ++tick) {
    Tick();
    ASSERT_TRUE(screen().panelInTransition) << "tick " << tick;
    ASSERT_FALSE(program->lan.ServerActive()) << "listening before the panel opened, tick " << tick;
  }
  tick = kPanelCourseTicks;
  Tick();
  EXPECT_FALSE(screen().panelInTransition);
  EXPECT_TRUE(program->lan.ServerActive());
  EXPECT_NE(program->lan.ListeningPort(), 0);
  const TRect newRect = form().panelRect;
  EXPECT_EQ(Width(newRect), 240);
  EXPECT_EQ(Height(newRect), 110);

  ASSERT_EQ(frames.size(), 19u);
  for (const auto& [t, frame] : frames) {
    const TRect& bound = t <= 10 ? oldRect : newRect;
    EXPECT_TRUE(Inside(frame, bound)) << "tick " << t;
    EXPECT_NE(t, 11) << "the lay-out tick draws nothing";
  }
  // 90 %, 80 %, ... 0 % of the old panel, then 20 % ... 100 % of the new.
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(frames[k - 1].first, k);
    EXPECT_EQ(Width(frames[k - 1].second), 240 * (10 - k) / 10) << "closing tick " << k;
    EXPECT_EQ(Height(frames[k - 1].second), 100 * (10 - k) / 10) << "closing tick " << k;
  }
  for (int k = 12; k <= 20; ++k) {
    const auto& [t, frame] = frames[k - 2];
    EXPECT_EQ(t, k);
    EXPECT_EQ(Width(frame), 240 * (k - 10) / 10) << "opening tick " << k;
    EXPECT_EQ(Height(frame), static_cast<int>(110.0f * (k - 10) / 10)) << "opening tick " << k;
  }
}

TEST_F(PanelTest, RepaintDuringTheClosingPhaseDrawsNoOldPanel) {
  OpenScreen(ssLanMenu);
  const TRect old = form().panelRect;
  ClickButton(btnPanelLow);  // "Назад"
  Tick(5);                   // half closed
  panel().PaintDialogPanel(true);
  // The corner of the old panel lies outside the half-size frame: it must
  // show the board again, not the old panel's outline or face.
  const QPoint corner(old.left + 2, old.top + 2);
  EXPECT_EQ(form().boardCanvas.pixel(corner), form().backgroundCanvas.pixel(corner));
}

TEST_F(PanelTest, ClicksAndHoverAreIgnoredDuringATransition) {
  FinishTransition();
  ClickButton(btnPanelTop);  // to ssLanMenu
  Tick(15);                  // opening: the new buttons are laid out but not usable
  ASSERT_TRUE(screen().panelInTransition);
  const TScreenButton server = button(btnPanelTop);
  ASSERT_EQ(server.caption, "Сервер");
  Move(server.left + 100, server.top + 12);
  EXPECT_EQ(button(btnPanelTop).textColour, clBlack) << "hover coloured a button mid-animation";
  ClickButton(btnPanelTop);
  EXPECT_EQ(screen().screenState, ssLanMenu);
  FinishTransition();
  EXPECT_EQ(screen().screenState, ssLanMenu);
  EXPECT_FALSE(program->lan.ServerActive());
  // Once open, the same hover turns the caption blue and leaving turns it black.
  Move(server.left + 100, server.top + 12);
  EXPECT_EQ(button(btnPanelTop).textColour, clBlue);
  Move(2, 2);
  EXPECT_EQ(button(btnPanelTop).textColour, clBlack);
}

TEST_F(PanelTest, ColourClaimDuringTheOpeningAppearsGreyedOnceOpen) {
  FinishTransition();
  program->match.LinkEstablished();  // opens ssPlayerSetup
  ASSERT_EQ(screen().screenState, ssPlayerSetup);
  Tick(14);
  ASSERT_TRUE(screen().panelInTransition);
  program->match.HandleOpponentMessage("blaAnna");
  EXPECT_TRUE(screen().deferredClaim);
  EXPECT_NE(button(btnPanelLow).caption, "Anna");
  FinishTransition();
  EXPECT_FALSE(screen().deferredClaim);
  EXPECT_EQ(button(btnPanelLow).caption, "Anna");
  EXPECT_FALSE(button(btnPanelLow).enabled);
  EXPECT_EQ(button(btnPanelLow).textColour, clSilver);
  EXPECT_TRUE(button(btnPanelMid).enabled);
  EXPECT_EQ(game().localColour, 0) << "the opponent took black";
  EXPECT_TRUE(form().eip->isVisibleTo(&form()));
  // A press on the greyed colour does nothing.
  ClickButton(btnPanelLow);
  EXPECT_FALSE(sender.AnyStartingWith("bla"));
}

// ---- The button table ----

struct TButtonRow {
  const char* name;
  int from;
  int index;
  const char* caption;
  int to;
};

class ButtonTableTest : public ProgramTest, public ::testing::WithParamInterface<TButtonRow> {};

TEST_P(ButtonTableTest, LeadsToItsScreen) {
  const TButtonRow& row = GetParam();
  OpenScreen(row.from);
  ASSERT_EQ(screen().screenState, row.from);
  ASSERT_TRUE(button(row.index).visible);
  ASSERT_EQ(button(row.index).caption, row.caption);
  ClickButton(row.index);
  EXPECT_EQ(screen().screenState, row.to);
  FinishTransition();
  EXPECT_EQ(screen().screenState, row.to);
}

const TButtonRow kButtonRows[] = {
    {"MainMenu_Modem", ssMainMenu, btnPanelMid, "Игра по модему", ssModemMenu},
    {"MainMenu_Lan", ssMainMenu, btnPanelTop, "Игра по локальной сети", ssLanMenu},
    {"LanMenu_Back", ssLanMenu, btnPanelLow, "Назад", ssMainMenu},
    {"LanMenu_Connect", ssLanMenu, btnPanelMid, "Подключиться", ssLanEnterHost},
    {"LanMenu_Server", ssLanMenu, btnPanelTop, "Сервер", ssLanWaitClient},
    {"LanWaitClient_Back", ssLanWaitClient, btnPanelLow, "Назад", ssLanMenu},
    {"LanEnterHost_Back", ssLanEnterHost, btnPanelLow, "Назад", ssLanMenu},
    {"ModemMenu_Back", ssModemMenu, btnPanelLow, "Назад", ssMainMenu},
    {"ModemMenu_Connect", ssModemMenu, btnPanelMid, "Подключиться", ssModemEnterNumber},
    {"ModemMenu_Wait", ssModemMenu, btnPanelTop, "Ожидание подключения", ssModemWaitCall},
    {"ModemWaitCall_Back", ssModemWaitCall, btnPanelLow, "Назад", ssModemMenu},
    {"ModemEnterNumber_Back", ssModemEnterNumber, btnPanelLow, "Назад", ssModemMenu},
    {"ModemEnterNumber_Ok", ssModemEnterNumber, btnPanelMid, "ОК", ssModemDialling},
    {"ModemDialling_Back", ssModemDialling, btnPanelLow, "Назад", ssModemEnterNumber},
    {"NewGameQuery_No", ssNewGameQuery, btnPanelLow, "Нет", ssBoardOnly},
    {"NewGameQuery_Yes", ssNewGameQuery, btnPanelMid, "Да", ssPlayerSetup},
};

INSTANTIATE_TEST_SUITE_P(Screens, ButtonTableTest, ::testing::ValuesIn(kButtonRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, NewGameQueryAnswersReachTheOpponent) {
  OpenScreen(ssNewGameQuery);
  ClickButton(btnPanelLow);  // "Нет"
  EXPECT_EQ(sender.Count("reg"), 1);
  FinishTransition();
  EXPECT_FALSE(screen().panelShown);
  EXPECT_TRUE(button(btnNewGame).enabled);
  OpenScreen(ssNewGameQuery);
  ClickButton(btnPanelMid);  // "Да"
  EXPECT_EQ(sender.Count("acc"), 1);
}

TEST_F(PanelTest, OkWithAnEmptyAddressStartsNothingAndHidesOk) {
  OpenScreen(ssLanEnterHost);
  EXPECT_TRUE(form().eip->isVisibleTo(&form()));
  form().eip->setText(QString());
  ClickButton(btnPanelMid);
  EXPECT_FALSE(program->lan.ClientConnecting());
  EXPECT_FALSE(button(btnPanelMid).visible);
  EXPECT_EQ(screen().screenState, ssLanEnterHost);
  ClickButton(btnPanelLow);  // "Назад" still works
  EXPECT_EQ(screen().screenState, ssLanMenu);
}

TEST_F(PanelTest, TheAddressFieldOffersTheLastAddress) {
  program->lan.serverAddress = "192.0.2.7";
  OpenScreen(ssLanEnterHost);
  EXPECT_EQ(form().eip->text().toStdString(), "192.0.2.7");
  EXPECT_EQ(form().eip->width(), TextWidth(form().windowFont, QString::fromUtf8(kHostPromptText)));
}

TEST_F(PanelTest, DiallingWithoutAPortShowsThePortErrorAndBackRestoresTheScreen) {
  for (std::string& device : form().settings.comPortDevices) device = kMissingDevice;
  form().settings.modemPort = 0;
  OpenScreen(ssModemMenu);
  EXPECT_EQ(form().settings.modemPort, 1) << "COM3 cannot be opened: COM1 is preselected";
  OpenScreen(ssModemEnterNumber);
  form().eip->setText(QStringLiteral("5551234"));
  ClickButton(btnPanelMid);  // "ОК"
  EXPECT_EQ(form().settings.phoneNumber, "5551234");
  FinishTransition();
  EXPECT_EQ(screen().screenState, ssModemDialling);
  EXPECT_EQ(screen().promptText, "Порт COM1 не найден");
  EXPECT_EQ(screen().promptColour, clRed);
  ClickButton(btnPanelLow);
  FinishTransition();
  EXPECT_EQ(screen().screenState, ssModemEnterNumber);
  EXPECT_EQ(screen().promptColour, clBlack);
  EXPECT_EQ(screen().promptText, "Введите телефонный номер:");
}

TEST_F(PanelTest, ModemMenuPreselectsComThreeWhenItOpens) {
  // COM3 is one end of a pseudo-terminal, which opens like a serial port.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  for (std::string& device : form().settings.comPortDevices) device = kMissingDevice;
  form().settings.comPortDevices[2] = ptsname(master);
  form().settings.modemPort = 0;
  OpenScreen(ssModemMenu);
  EXPECT_EQ(form().settings.modemPort, 3);
  EXPECT_EQ(form().ccomport->currentIndex(), 2);
  // With a port chosen no probe runs and that port is preselected.
  form().settings.modemPort = 5;
  OpenScreen(ssMainMenu);
  OpenScreen(ssModemMenu);
  EXPECT_EQ(form().settings.modemPort, 5);
  EXPECT_EQ(form().ccomport->currentIndex(), 4);
  close(master);
}

TEST_F(PanelTest, WaitingForACallOnAMissingPortShowsThePortError) {
  for (std::string& device : form().settings.comPortDevices) device = kMissingDevice;
  form().settings.modemPort = 2;
  OpenScreen(ssModemMenu);
  ClickButton(btnPanelTop);  // "Ожидание подключения"
  FinishTransition();
  EXPECT_EQ(screen().screenState, ssModemWaitCall);
  EXPECT_EQ(screen().promptText, "Порт COM2 не найден");
  EXPECT_EQ(screen().promptColour, clRed);
}

// ---- The tone/pulse switch ----

struct TSwitchRow {
  const char* name;
  int dx;  // from the left edge of the switch text
  int dy;  // from its top
  bool toggles;
};

class DialModeTest : public ProgramTest, public ::testing::WithParamInterface<TSwitchRow> {};

TEST_P(DialModeTest, HitBand) {
  const TSwitchRow& row = GetParam();
  form().settings.pulseDialling = false;
  OpenScreen(ssModemEnterNumber);
  ASSERT_TRUE(panel().dialModeVisible);
  ASSERT_EQ(panel().dialModeText, "Тоновый");
  const int X = panel().dialModeLeft + row.dx;
  const int Y = panel().dialModeTop + row.dy;
  Press(X, Y);
  Release(X, Y);
  EXPECT_EQ(form().settings.pulseDialling, row.toggles);
  EXPECT_EQ(panel().dialModeText, row.toggles ? "Импульсный" : "Тоновый");
}

const TSwitchRow kSwitchRows[] = {
    {"OnTheText", 5, 3, true},
    {"TwelveLeftOnTheGlyph", -12, 3, true},
    {"ThirteenLeft", -13, 3, false},
    {"TopEdgeRow", 5, 0, false},
    {"LastColumnOfTheText", 40, 3, true},
};

INSTANTIATE_TEST_SUITE_P(Screens, DialModeTest, ::testing::ValuesIn(kSwitchRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelTest, TheSwitchTogglesBackAndForth) {
  form().settings.pulseDialling = true;
  OpenScreen(ssModemEnterNumber);
  ASSERT_EQ(panel().dialModeText, "Импульсный");
  for (bool expected : {false, true}) {
    const int X = panel().dialModeLeft + 2;
    const int Y = panel().dialModeTop + 2;
    Press(X, Y);
    Release(X, Y);
    EXPECT_EQ(form().settings.pulseDialling, expected);
  }
}

// ---- The colour pick ----

TEST_F(PanelTest, PickingFirstWaitsForTheOtherPlayerWithTheNameSent) {
  FinishTransition();
  program->match.LinkEstablished();
  FinishTransition();
  form().eip->setText(QStringLiteral("Борис"));
  ClickButton(btnPanelMid);  // "Белые"
  EXPECT_EQ(sender.Count("whiБорис"), 1);
  EXPECT_EQ(screen().promptText, "Ожидание другого игрока");
  EXPECT_FALSE(form().eip->isVisibleTo(&form()));
  EXPECT_FALSE(button(btnPanelLow).visible);
  EXPECT_FALSE(button(btnPanelMid).visible);
  EXPECT_EQ(panel().promptTop, panel().CentreY() - TextHeight(form().windowFont) / 2);
  // The opponent's pick answers: the game starts when the panel has closed.
  program->match.HandleOpponentMessage("blaAnna");
  program->match.HandleOpponentMessage("vrzy");
  FinishTransition();
  EXPECT_FALSE(screen().panelShown);
  EXPECT_TRUE(game().myTurn);
  EXPECT_EQ(program->match.playerName, "Борис");
}

TEST_F(PanelTest, RefusalShowsInRedThenReturnsToTheBoard) {
  StartGameAsWhite();
  ClickButton(btnNewGame);
  FinishTransition();
  EXPECT_EQ(screen().promptText, "Ожидание подтверждения");
  EXPECT_EQ(sender.Count("new"), 1);
  program->match.opponentName = "Anna";
  program->match.HandleOpponentMessage("reg");
  EXPECT_EQ(screen().promptColour, clRed);
  EXPECT_EQ(screen().promptText, "Anna отказался начинать новую игру");
  clock.Advance(kRefusalNoticeMs);
  FinishTransition();
  EXPECT_FALSE(screen().panelShown);
  EXPECT_TRUE(button(btnNewGame).enabled);
}

}  // namespace
}  // namespace zervik::test
