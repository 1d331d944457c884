// Two whole programs joined by two simulated modems on pseudo-terminals,
// through their modem screens: one waits for the call, the other types the
// number and dials; then names and colours and the first moves.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QThread>

#include "program_fixture.h"

namespace zervik::test {
namespace {

constexpr int kWaitLimitMs = 20000;

template <typename TCondition>
bool WaitUntil(TCondition done, int limitMs = kWaitLimitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

// zervik-modem-sim with fast rings; its two ports are printed as "A path"
// and "B path".
class TModemSim {
 public:
  TModemSim() {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QString::fromUtf8(ZERVIK_MODEM_SIM), {"--ring-ms", "150", "--connect-ms", "100"});
    started = process.waitForStarted(kWaitLimitMs) && WaitUntil([this] {
                output += process.readAllStandardOutput().toStdString();
                return Paths();
              });
  }
  ~TModemSim() {
    if (process.state() == QProcess::NotRunning) return;
    process.write("quit\n");
    if (!process.waitForFinished(5000)) process.kill();
    process.waitForFinished();
  }
  bool started = false;
  std::string a, b;

 private:
  bool Paths() {
    const std::size_t bAt = output.find("\nB ");
    if (output.rfind("A ", 0) != 0 || bAt == std::string::npos) return false;
    const std::size_t bEnd = output.find('\n', bAt + 1);
    if (bEnd == std::string::npos) return false;
    a = output.substr(2, bAt - 2);
    b = output.substr(bAt + 3, bEnd - bAt - 3);
    return true;
  }
  QProcess process;
  std::string output;
};

// A program on the real Qt timers whose COM1 is `device`.
class TModemCopy {
 public:
  TModemCopy(const QString& folder, const std::string& device) {
    TProgramOptions options;
    options.form.iniPath = (folder + QStringLiteral("/zervik.INI")).toStdString();
    options.form.skinRoot = QStringLiteral(ZERVIK_SKIN_DIR);
    options.form.showError = [](const QString& message) { ADD_FAILURE() << message.toStdString(); };
    options.lanPort = 0;
    program = std::make_unique<TProgram>(std::move(options));
    for (std::string& other : program->form1.settings.comPortDevices)
      other = "/nonexistent/zervik-tty";
    program->form1.settings.comPortDevices[0] = device;
    program->form1.settings.modemPort = 1;
    program->menu.askExitQuestion = [] { return false; };
    program->form1.show();
  }
  TScreenData& screen() { return program->form1.screen; }
  TScreenButton& button(int i) { return screen().screenButtons[static_cast<std::size_t>(i)]; }
  bool Open(int state) { return screen().screenState == state && !screen().panelInTransition; }
  void ClickButton(int i) {
    const int X = button(i).left + kButtonWidth / 2;
    const int Y = button(i).top + kButtonHeight / 2;
    program->menu.FormMouseDown(Qt::LeftButton, X, Y);
    program->menu.FormMouseUp(Qt::LeftButton, X, Y);
  }
  void Drag(int fx, int fy, int tx, int ty) {
    TGame& g = program->form1.game;
    program->menu.FormMouseDown(Qt::LeftButton, g.SquareLeft(fx) + 30, g.SquareTop(fy) + 30);
    program->menu.FormMouseMove(g.SquareLeft(tx) + 30, g.SquareTop(ty) + 30);
    program->menu.FormMouseUp(Qt::LeftButton, g.SquareLeft(tx) + 30, g.SquareTop(ty) + 30);
  }
  std::vector<std::string> Record() {
    std::vector<std::string> lines;
    for (int i = 0; i < program->form1.LineCount(); ++i) lines.push_back(program->form1.Line(i));
    return lines;
  }
  std::unique_ptr<TProgram> program;
};

TEST(ModemGameTest, CallThroughTheScreensThenPlay) {
  TestApp();
  TModemSim sim;
  ASSERT_TRUE(sim.started) << "zervik-modem-sim did not start";
  QTemporaryDir folderA, folderB;
  TModemCopy answerer(folderA.path(), sim.b);
  TModemCopy dialler(folderB.path(), sim.a);
  ASSERT_TRUE(WaitUntil([&] { return answerer.Open(ssMainMenu) && dialler.Open(ssMainMenu); }));

  for (TModemCopy* copy : {&answerer, &dialler}) {
    copy->ClickButton(btnPanelMid);  // "Игра по модему"
    ASSERT_TRUE(WaitUntil([&] { return copy->Open(ssModemMenu); }));
    EXPECT_EQ(copy->program->form1.ccomport->currentIndex(), 0);
  }
  answerer.ClickButton(btnPanelTop);  // "Ожидание подключения"
  ASSERT_TRUE(WaitUntil([&] { return answerer.Open(ssModemWaitCall); }));
  EXPECT_EQ(answerer.screen().promptColour, clBlack) << answerer.screen().promptText;

  dialler.ClickButton(btnPanelMid);  // "Подключиться"
  ASSERT_TRUE(WaitUntil([&] { return dialler.Open(ssModemEnterNumber); }));
  dialler.program->form1.eip->setText(QStringLiteral("5551234"));
  dialler.ClickButton(btnPanelMid);  // "ОК"
  ASSERT_TRUE(WaitUntil([&] {
    return answerer.Open(ssPlayerSetup) && dialler.Open(ssPlayerSetup);
  })) << "answerer: "
      << answerer.screen().promptText << " / dialler: " << dialler.screen().promptText;
  EXPECT_EQ(dialler.program->form1.settings.phoneNumber, "5551234");
  EXPECT_TRUE(answerer.program->match.modemLinkUp);
  EXPECT_TRUE(dialler.program->match.modemLinkUp);
  EXPECT_TRUE(answerer.program->lan.IsServerCopy()) << "the answering copy tosses the coin";

  answerer.program->form1.eip->setText(QStringLiteral("Ответчик"));
  answerer.ClickButton(btnPanelMid);  // "Белые"
  ASSERT_TRUE(WaitUntil([&] { return !dialler.button(btnPanelMid).enabled; }));
  dialler.program->form1.eip->setText(QStringLiteral("Звонящий"));
  dialler.ClickButton(btnPanelLow);  // "Черные"
  ASSERT_TRUE(WaitUntil([&] {
    return answerer.program->form1.game.myTurn && !answerer.screen().panelShown &&
           !dialler.screen().panelShown;
  }));

  answerer.Drag(5, 2, 5, 4);  // e2-e4
  ASSERT_TRUE(WaitUntil([&] { return dialler.program->form1.game.myTurn; }));
  dialler.Drag(4, 2, 4, 4);  // e7-e5 in black's view
  ASSERT_TRUE(WaitUntil([&] { return answerer.program->form1.game.myTurn; }));
  EXPECT_EQ(answerer.Record(), dialler.Record());
  EXPECT_EQ(answerer.Record().back(), "1. e5");

  // On a modem link "Выход" asks first.
  int asked = 0;
  dialler.program->menu.askExitQuestion = [&] {
    ++asked;
    return false;
  };
  dialler.ClickButton(btnExit);
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace zervik::test
