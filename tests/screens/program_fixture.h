// What the screen tests share: one QApplication on the offscreen platform,
// a whole program on a virtual clock with its settings file in a temporary
// folder, a sender that records what would go to the opponent, and helpers
// that click, move and release the mouse at the places the screens use.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "platform/virtual_timers.h"
#include "screens/program.h"
#include "tests/screens/widget_app.h"

namespace zervik::test {

inline QApplication& TestApp() { return WidgetTestApp("screens_tests"); }

class TRecordingSender : public ISender {
 public:
  void SendToOpponent(const std::string& text) override { sent.push_back(text); }
  int Count(const std::string& text) const {
    int n = 0;
    for (const auto& s : sent) n += s == text ? 1 : 0;
    return n;
  }
  bool AnyStartingWith(const std::string& prefix) const {
    for (const auto& s : sent)
      if (s.rfind(prefix, 0) == 0) return true;
    return false;
  }
  std::vector<std::string> sent;
};

// Ticks of the panel's course: 10 closing, 1 lay-out, 9 growing, 1 opening.
inline constexpr int kPanelCourseTicks = 21;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(folder.isValid());
    TProgramOptions options;
    options.form.iniPath = folder.filePath(QStringLiteral("zervik.INI")).toStdString();
    options.form.skinRoot = QStringLiteral(ZERVIK_SKIN_DIR);
    options.form.showError = [this](const QString& message) {
      errors.push_back(message.toStdString());
    };
    options.form.clockSeconds = [] { return 1u; };
    options.timers = &clock;
    options.lanPort = 0;  // never a fixed port
    program = std::make_unique<TProgram>(std::move(options));
    // No serial port of the machine is ever opened; a test that wants one
    // points a port at a pseudo-terminal.
    for (std::string& device : program->form1.settings.comPortDevices)
      device = "/nonexistent/zervik-tty";
    // Whatever would reach the opponent is recorded instead.
    program->form1.game.services.sender = &sender;
    program->match.services.sender = &sender;
    program->chat.services.sender = &sender;
    program->form1.show();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_TRUE(screen().panelInTransition) << "the first activation opens the main menu";
  }
  void TearDown() override { program.reset(); }

  TScreenData& screen() { return program->form1.screen; }
  TGame& game() { return program->form1.game; }
  TForm1& form() { return program->form1; }
  TDialogPanel& panel() { return program->panel; }
  TScreenButton& button(int index) {
    return screen().screenButtons[static_cast<std::size_t>(index)];
  }

  void Tick(int ticks = 1) { clock.Advance(static_cast<std::int64_t>(ticks) * kPanelTickMs); }
  // Runs the clock until the running panel transition has finished.
  void FinishTransition() {
    for (int i = 0; i < 10 * kPanelCourseTicks && screen().panelInTransition; ++i) Tick();
    ASSERT_FALSE(screen().panelInTransition) << "the transition never ended";
  }
  void OpenScreen(int state) {
    FinishTransition();
    screen().screenState = state;
    panel().OpenDialogPanel();
    FinishTransition();
  }
  // The game running with the panel gone, the local player white.
  void StartGameAsWhite() {
    game().localColour = 0;
    OpenScreen(ssStartGame);
    ASSERT_TRUE(game().myTurn);
  }

  void Press(int X, int Y, Qt::MouseButton b = Qt::LeftButton) {
    program->menu.FormMouseDown(b, X, Y);
  }
  void Move(int X, int Y) { program->menu.FormMouseMove(X, Y); }
  void Release(int X, int Y, Qt::MouseButton b = Qt::LeftButton) {
    program->menu.FormMouseUp(b, X, Y);
  }
  void ClickButton(int index) {
    const TScreenButton& b = button(index);
    Press(b.left + kButtonWidth / 2, b.top + kButtonHeight / 2);
    Release(b.left + kButtonWidth / 2, b.top + kButtonHeight / 2);
  }
  int SquareCentreX(int x) { return game().SquareLeft(x) + game().squareWidth / 2; }
  int SquareCentreY(int y) { return game().SquareTop(y) + game().squareHeight / 2; }

  QTemporaryDir folder;
  TVirtualTimers clock;
  TRecordingSender sender;
  std::vector<std::string> errors;
  std::unique_ptr<TProgram> program;
};

}  // namespace zervik::test
