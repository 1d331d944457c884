// Two whole programs in one process, joined by zervik-modem-sim through
// their modem screens: one waits for the call, the other dials; then names
// and colours, moves, chat both ways, a draw by repetition (whose text the
// serial framing cuts), and leaving. The simulator rings and connects on the
// wall clock, so the programs run on Qt timers of their own too, five times
// faster than written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt_timers.h"
#include "screens/program.h"
#include "tests/screens/widget_app.h"
#include "tests/modem/modem_sim_support.h"

namespace zervik::test {
namespace {

constexpr int kComPort = 3;
constexpr double kTimeScale = 0.2;

QApplication& WidgetApp() { return WidgetTestApp("modem_screens_tests"); }

// One program with its settings file in a folder of its own and its COM3
// on `device`, played with mouse events sent to its window.
class TScreenCopy {
 public:
  TScreenCopy(const QString& folder, const std::string& device) {
    TProgramOptions options;
    options.form.iniPath = (folder + QStringLiteral("/zervik.INI")).toStdString();
    options.form.skinRoot = QStringLiteral(ZERVIK_SKIN_DIR);
    options.form.showError = [](const QString& message) { ADD_FAILURE() << message.toStdString(); };
    options.timers = &clock;
    options.lanPort = 0;
    program = std::make_unique<TProgram>(std::move(options));
    // No serial port of the machine: COM3 is the simulator's, the others
    // lead nowhere, as a [Ports] section would say.
    for (std::string& path : form().settings.comPortDevices) path = "/nonexistent/zervik-tty";
    form().settings.comPortDevices[kComPort - 1] = device;
    program->menu.askExitQuestion = [] { return true; };
    program->menu.closeWindow = [this] { program->form1.hide(); };
    form().show();
  }
  ~TScreenCopy() { program.reset(); }

  TForm1& form() { return program->form1; }
  TScreenData& screen() { return program->form1.screen; }
  TGame& game() { return program->form1.game; }
  bool Open(int state) { return screen().screenState == state && !screen().panelInTransition; }

  void Mouse(QEvent::Type type, int X, int Y) {
    const QPointF at(X, Y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, form().mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&form(), &event);
  }
  void ClickButton(int index) {
    const TScreenButton& b = screen().screenButtons[static_cast<std::size_t>(index)];
    Mouse(QEvent::MouseButtonPress, b.left + kButtonWidth / 2, b.top + kButtonHeight / 2);
    Mouse(QEvent::MouseButtonRelease, b.left + kButtonWidth / 2, b.top + kButtonHeight / 2);
  }
  // Drags the piece on a real square ("g1") to another.
  void Drag(const std::string& from, const std::string& to) {
    const auto x = [this](const std::string& square) {
      const int file = square[0] - 'a' + 1;
      return game().SquareLeft(game().localColour == 0 ? file : 9 - file) + 30;
    };
    const auto y = [this](const std::string& square) {
      const int rank = square[1] - '0';
      return game().SquareTop(game().localColour == 0 ? rank : 9 - rank) + 30;
    };
    Mouse(QEvent::MouseButtonPress, x(from), y(from));
    Mouse(QEvent::MouseMove, x(to), y(to));
    Mouse(QEvent::MouseButtonRelease, x(to), y(to));
  }
  void Chat(const QString& text) {
    form().echat->setText(text);
    emit form().echat->returnPressed();
  }
  std::vector<std::string> Record() {
    std::vector<std::string> lines;
    for (int i = 0; i < form().LineCount(); ++i) lines.push_back(form().Line(i));
    return lines;
  }

  TQtTimers clock{kTimeScale};
  std::unique_ptr<TProgram> program;
};

class ModemScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WidgetApp();
    sim = std::make_unique<TModemSim>();
    ASSERT_TRUE(sim->started);
    ASSERT_TRUE(folderA.isValid() && folderB.isValid());
    answerer = std::make_unique<TScreenCopy>(folderA.path(), sim->b);
    dialler = std::make_unique<TScreenCopy>(folderB.path(), sim->a);
  }
  void TearDown() override {
    answerer.reset();
    dialler.reset();
    sim.reset();
  }

  // Lets the ports and the timers work until `done` (the limit only turns
  // a hang into a failure).
  bool PumpUntil(const std::function<bool()>& done) { return ProcessUntil(done, kGenerousWaitMs); }
  // Until both are quiet: no banner, no animation, no panel in transition.
  bool Settle() {
    return PumpUntil([&] {
      for (TScreenCopy* copy : {answerer.get(), dialler.get()})
        if (copy->form().bannerActive || copy->clock.HasTimer(tagAnimation) ||
            copy->screen().panelInTransition)
          return false;
      return true;
    });
  }

  std::unique_ptr<TModemSim> sim;
  QTemporaryDir folderA, folderB;
  std::unique_ptr<TScreenCopy> answerer, dialler;
};

TEST_F(ModemScreensTest, AnswerDialPlayChatDrawAndLeave) {
  ASSERT_TRUE(PumpUntil([&] { return answerer->Open(ssMainMenu) && dialler->Open(ssMainMenu); }));

  // The answering side: "Игра по модему"; no port chosen yet, so COM3 is
  // probed and preselected; "Ожидание подключения".
  answerer->ClickButton(btnPanelMid);
  ASSERT_TRUE(PumpUntil([&] { return answerer->Open(ssModemMenu); }));
  EXPECT_EQ(answerer->form().settings.modemPort, kComPort);
  answerer->ClickButton(btnPanelTop);
  ASSERT_TRUE(PumpUntil([&] { return answerer->Open(ssModemWaitCall); }));
  ASSERT_TRUE(sim->LogHas("B< ATZE1M1^M")) << sim->Log();
  EXPECT_EQ(answerer->screen().promptText, "Ожидание соединения...");

  // The dialling side: "Игра по модему", "Подключиться", the number, tone
  // dialling, "ОК".
  dialler->ClickButton(btnPanelMid);
  ASSERT_TRUE(PumpUntil([&] { return dialler->Open(ssModemMenu); }));
  dialler->ClickButton(btnPanelMid);
  ASSERT_TRUE(PumpUntil([&] { return dialler->Open(ssModemEnterNumber); }));
  dialler->form().settings.pulseDialling = false;
  dialler->form().eip->setText(QStringLiteral("5551234"));
  dialler->ClickButton(btnPanelMid);
  ASSERT_TRUE(PumpUntil([&] { return answerer->screen().promptText == "Подключение..."; }))
      << sim->Log();
  ASSERT_TRUE(PumpUntil([&] {
    return answerer->Open(ssPlayerSetup) && dialler->Open(ssPlayerSetup);
  })) << "the modems did not connect: "
      << sim->Log();
  EXPECT_TRUE(sim->LogHas("A< ATDT5551234^M"));
  EXPECT_TRUE(sim->LogHas("B< ATA^M"));
  EXPECT_EQ(dialler->form().settings.phoneNumber, "5551234");
  EXPECT_TRUE(answerer->program->modem.IsServerCopy());
  EXPECT_FALSE(dialler->program->modem.IsServerCopy());

  // Names and colours.
  answerer->form().eip->setText(QStringLiteral("Алиса"));
  answerer->ClickButton(btnPanelMid);  // "Белые"
  // The taken colour shows the opponent's name, greyed.
  const TScreenButton& taken = dialler->screen().screenButtons[btnPanelMid];
  ASSERT_TRUE(PumpUntil([&] { return taken.caption == "Алиса" && dialler->Open(ssPlayerSetup); }));
  EXPECT_FALSE(taken.enabled);
  dialler->form().eip->setText(QStringLiteral("Борис"));
  dialler->ClickButton(btnPanelLow);  // "Черные"
  ASSERT_TRUE(PumpUntil([&] {
    return !answerer->screen().panelShown && !dialler->screen().panelShown;
  })) << "the game did not start";
  ASSERT_TRUE(Settle());
  TScreenCopy& white = *answerer;
  TScreenCopy& black = *dialler;
  ASSERT_EQ(white.game().localColour, 0);
  ASSERT_EQ(black.game().localColour, 1);

  // Chat both ways.
  const auto lastLine = [](TScreenCopy& copy) {
    const auto record = copy.Record();
    return record.empty() ? std::string() : record.back();
  };
  white.Chat(QStringLiteral("привет"));
  ASSERT_TRUE(PumpUntil([&] { return lastLine(black) == "Алиса: привет"; }));
  black.Chat(QStringLiteral("здравствуй"));
  ASSERT_TRUE(PumpUntil([&] { return lastLine(white) == "Борис: здравствуй"; }));
  EXPECT_EQ(white.Record(), black.Record());

  // The knights go out and back until a position stands for the third
  // time, a draw. The draw text of the side that sees it, "logl1/2-1/2" or
  // "lognl1/2-1/2", arrives cut at its "/" and is restored.
  const char* moves[][2] = {{"g1", "f3"}, {"g8", "f6"}, {"f3", "g1"}, {"f6", "g8"}};
  for (int i = 0; i < 12 && !white.game().gameOver && !black.game().gameOver; ++i) {
    TScreenCopy& mover = i % 2 == 0 ? white : black;
    TScreenCopy& other = i % 2 == 0 ? black : white;
    ASSERT_TRUE(PumpUntil([&] { return mover.game().myTurn; })) << "no turn for move " << i + 1;
    mover.Drag(moves[i % 4][0], moves[i % 4][1]);
    ASSERT_TRUE(PumpUntil([&] {
      return other.Record() == mover.Record() && (other.game().myTurn || other.game().gameOver);
    })) << "move "
        << i + 1 << " never arrived";
  }
  ASSERT_TRUE(PumpUntil([&] { return white.game().gameOver && black.game().gameOver; }));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(lastLine(white), "1/2-1/2");
  EXPECT_EQ(black.Record(), white.Record());

  // The dialler leaves: "ext" reaches the answerer, whose notice leads to
  // the main menu, which closes its port.
  dialler->ClickButton(btnExit);
  EXPECT_FALSE(dialler->form().isVisible());
  ASSERT_TRUE(PumpUntil([&] { return answerer->Open(ssMainMenu); }));
  EXPECT_EQ(answerer->program->match.endReason, meOpponentLeft);
  EXPECT_FALSE(answerer->program->match.modemLinkUp);
  EXPECT_FALSE(answerer->program->modem.VaComm1.IsOpen());
}

}  // namespace
}  // namespace zervik::test
