// Two whole programs in one process, joined over a real loopback TCP
// connection through their screens, playing with mouse events sent to
// their windows: names and colours, moves, chat, a draw, a new game and
// leaving.
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextEdit>

#include "program_fixture.h"

namespace zervik::test {
namespace {

class TCopy {
 public:
  explicit TCopy(const QString& folderPath) {
    TProgramOptions options;
    options.form.iniPath = (folderPath + QStringLiteral("/zervik.INI")).toStdString();
    options.form.skinRoot = QStringLiteral(ZERVIK_SKIN_DIR);
    options.form.showError = [](const QString& message) { ADD_FAILURE() << message.toStdString(); };
    options.timers = &clock;
    options.lanPort = 0;
    program = std::make_unique<TProgram>(std::move(options));
    program->menu.askExitQuestion = [] { return true; };
    program->menu.closeWindow = [this] { program->form1.hide(); };
    program->form1.show();
  }
  ~TCopy() { program.reset(); }

  TForm1& form() { return program->form1; }
  TScreenData& screen() { return program->form1.screen; }
  TGame& game() { return program->form1.game; }
  bool Open(int state) const {
    const TScreenData& s = program->form1.screen;
    return s.screenState == state && !s.panelInTransition;
  }

  void Mouse(QEvent::Type type, int X, int Y) {
    const QPointF at(X, Y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, form().mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&form(), &event);
  }
  void Click(int X, int Y) {
    Mouse(QEvent::MouseButtonPress, X, Y);
    Mouse(QEvent::MouseButtonRelease, X, Y);
  }
  void ClickButton(int index) {
    const TScreenButton& b = screen().screenButtons[static_cast<std::size_t>(index)];
    Click(b.left + kButtonWidth / 2, b.top + kButtonHeight / 2);
  }
  // Drags the piece on square (fx, fy) of this copy's view to (tx, ty).
  void Drag(int fx, int fy, int tx, int ty) {
    const TGame& g = game();
    Mouse(QEvent::MouseButtonPress, g.SquareLeft(fx) + 30, g.SquareTop(fy) + 30);
    Mouse(QEvent::MouseMove, g.SquareLeft(tx) + 30, g.SquareTop(ty) + 30);
    Mouse(QEvent::MouseButtonRelease, g.SquareLeft(tx) + 30, g.SquareTop(ty) + 30);
  }
  std::vector<std::string> Record() {
    std::vector<std::string> lines;
    for (int i = 0; i < form().LineCount(); ++i) lines.push_back(form().Line(i));
    return lines;
  }

  TVirtualTimers clock;
  std::unique_ptr<TProgram> program;
};

class LanGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(folderA.isValid() && folderB.isValid());
    a = std::make_unique<TCopy>(folderA.path());
    b = std::make_unique<TCopy>(folderB.path());
  }
  void TearDown() override {
    a.reset();
    b.reset();
  }

  // Lets the sockets work and both clocks run, 15 ms a step, until `done`.
  template <typename TCondition>
  bool PumpUntil(TCondition done, int maxSteps = 4000) {
    for (int i = 0; i < maxSteps; ++i) {
      if (done()) return true;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      a->clock.Advance(kPanelTickMs);
      b->clock.Advance(kPanelTickMs);
    }
    return done();
  }
  // Until both copies are quiet: no banner, no animation, no transition.
  bool Settle() {
    return PumpUntil([&] {
      for (TCopy* copy : {a.get(), b.get()}) {
        if (copy->form().bannerActive || copy->clock.HasTimer(tagAnimation) ||
            copy->screen().panelInTransition)
          return false;
      }
      return true;
    });
  }

  void JoinAndPickColours() {
    ASSERT_TRUE(PumpUntil([&] { return a->Open(ssMainMenu) && b->Open(ssMainMenu); }));
    // A: "Игра по локальной сети", "Сервер".
    a->ClickButton(btnPanelTop);
    ASSERT_TRUE(PumpUntil([&] { return a->Open(ssLanMenu); }));
    a->ClickButton(btnPanelTop);
    ASSERT_TRUE(PumpUntil([&] { return a->Open(ssLanWaitClient); }));
    ASSERT_TRUE(a->program->lan.ServerActive());
    // B: "Игра по локальной сети", "Подключиться", the address, "ОК".
    b->ClickButton(btnPanelTop);
    ASSERT_TRUE(PumpUntil([&] { return b->Open(ssLanMenu); }));
    b->ClickButton(btnPanelMid);
    ASSERT_TRUE(PumpUntil([&] { return b->Open(ssLanEnterHost); }));
    b->program->lan.SetPort(a->program->lan.ListeningPort());
    b->form().eip->setText(QStringLiteral("127.0.0.1"));
    b->ClickButton(btnPanelMid);
    ASSERT_TRUE(PumpUntil([&] { return a->Open(ssPlayerSetup) && b->Open(ssPlayerSetup); }))
        << "the link did not come up";
    EXPECT_EQ(b->program->lan.serverAddress, "127.0.0.1");
    EXPECT_TRUE(a->form().echat->isEnabled());

    a->form().eip->setText(QStringLiteral("Алиса"));
    a->ClickButton(btnPanelMid);  // "Белые"
    // The claim is applied when the button shows the opponent's name; a
    // disabled button alone may only mean a transition.
    ASSERT_TRUE(PumpUntil([&] {
      return b->screen().screenButtons[btnPanelMid].caption == "Алиса" && b->Open(ssPlayerSetup);
    }));
    EXPECT_FALSE(b->screen().screenButtons[btnPanelMid].enabled);
    b->form().eip->setText(QStringLiteral("Борис"));
    b->ClickButton(btnPanelLow);  // "Черные"
    ASSERT_TRUE(PumpUntil([&] { return !a->screen().panelShown && !b->screen().panelShown; }))
        << "the game did not start";
    ASSERT_TRUE(Settle());
    ASSERT_EQ(a->game().localColour, 0);
    ASSERT_EQ(b->game().localColour, 1);
    ASSERT_TRUE(a->game().myTurn);
    ASSERT_FALSE(b->game().myTurn);
  }

  QTemporaryDir folderA, folderB;
  std::unique_ptr<TCopy> a, b;
};

TEST_F(LanGameTest, JoinPlayChatDrawNewGameAndLeave) {
  JoinAndPickColours();
  if (HasFatalFailure()) return;

  // 1. e2-e4 by white, e7-e5 by black (in black's own view: (4,2)-(4,4)).
  a->Drag(5, 2, 5, 4);
  ASSERT_TRUE(PumpUntil([&] { return b->game().myTurn; })) << "black never got the turn";
  b->Drag(4, 2, 4, 4);
  ASSERT_TRUE(PumpUntil([&] { return a->game().myTurn; })) << "white never got the turn";
  ASSERT_TRUE(Settle());
  EXPECT_EQ(a->Record(), b->Record());
  EXPECT_GE(a->Record().size(), 2u);

  // Chat both ways.
  a->form().echat->setText(QStringLiteral("привет"));
  emit a->form().echat->returnPressed();
  ASSERT_TRUE(PumpUntil([&] { return b->Record().size() == a->Record().size(); }));
  EXPECT_EQ(b->Record().back(), "Алиса: привет");
  EXPECT_EQ(b->form().LineColour(b->form().LineCount() - 1), clNavy);
  b->form().echat->setText(QStringLiteral("здравствуй"));
  emit b->form().echat->returnPressed();
  ASSERT_TRUE(PumpUntil([&] { return a->Record().size() == b->Record().size(); }));
  EXPECT_EQ(a->Record().back(), "Борис: здравствуй");
  EXPECT_EQ(a->form().LineColour(a->form().LineCount() - 1), clMaroon);

  // A draw offered with white's move, accepted by black from the menu.
  a->ClickButton(btnDraw);
  EXPECT_EQ(a->screen().screenButtons[btnDraw].caption, "Ничья предложена");
  a->Drag(7, 1, 6, 3);  // Ng1-f3
  ASSERT_TRUE(PumpUntil(
      [&] { return b->screen().screenButtons[btnDraw].caption == "Согласиться с ничьей"; }));
  ASSERT_TRUE(Settle());
  b->ClickButton(btnDraw);
  ASSERT_TRUE(PumpUntil([&] { return a->game().gameOver && b->game().gameOver; }));
  ASSERT_TRUE(Settle());
  EXPECT_EQ(a->Record(), b->Record());

  // "Новая игра" on white's side, "Да" on black's.
  a->ClickButton(btnNewGame);
  ASSERT_TRUE(PumpUntil([&] { return b->Open(ssNewGameQuery); }));
  EXPECT_EQ(b->screen().promptText, "Алиса желает начать новую игру. Вы согласны?");
  b->ClickButton(btnPanelMid);  // "Да"
  ASSERT_TRUE(PumpUntil([&] {
    return a->Open(ssPlayerSetup) && b->Open(ssPlayerSetup) &&
           a->form().eip->isVisibleTo(&a->form());
  }));

  // White leaves: "ext" reaches black, whose notice leads to the main menu.
  a->ClickButton(btnExit);
  EXPECT_FALSE(a->form().isVisible());
  ASSERT_TRUE(PumpUntil([&] { return b->Open(ssMainMenu); }, 8000));
  EXPECT_EQ(b->program->match.endReason, meOpponentLeft);
  EXPECT_FALSE(b->form().echat->isEnabled());
}

}  // namespace
}  // namespace zervik::test
