// What the LAN tests share: one QCoreApplication for the process, a wait
// that runs the event loop until a condition holds (the limit only turns a
// hang into a failure; nothing is timed), and whole copies of the program
// joined by a real LAN link.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <functional>
#include <string>

#include "links/lan_link.h"
#include "platform/qt_timers.h"
#include "protocol/headless_copy.h"
#include "tests/platform/qt_test_app.h"
#include "protocol/screen_state.h"

namespace zervik::test {

// The application, ProcessUntil and ProcessFor are the Qt platform tests'.
inline QCoreApplication& LanTestApp() { return TestApp(); }

// The dialog panel as the link sees it: it only counts what it is asked.
class TCountingPanel : public IDialogPanel {
 public:
  void OpenDialogPanel() override { ++opens; }
  void PaintDialogPanel(bool) override { ++paints; }
  void CentreDialogTexts() override { ++centres; }
  void HideDialogFields() override {}
  void VanishPanel() override {}
  int opens = 0, paints = 0, centres = 0;
};

// The program's timers run ten times faster, so banners and the link watch
// take a fraction of their real time.
inline constexpr double kCopyTimeScale = 0.1;

// One whole copy of the program without a window, on its own LAN link.
struct TLanCopy {
  explicit TLanCopy(const std::string& name, int port = 0, int connectLimitMs = kConnectLimitMs)
      : timers(kCopyTimeScale), link(timers, port, connectLimitMs), copy(link, link, timers) {
    link.SetScreens(copy.screen, linkPanel);
    link.onLinkEstablished = [this] {
      ++linkUps;
      copy.LinkEstablished();
    };
    link.onOpponentMessage = [this](const std::string& message) { copy.Receive(message); };
    link.onConnectionFailed = [this] { ++failures; };
    copy.match.playerName = name;
    copy.nameField = name;
  }

  TQtTimers timers;
  TCountingPanel linkPanel;
  TLanLink link;
  THeadlessCopy copy;
  int linkUps = 0;
  int failures = 0;
};

}  // namespace zervik::test
