// One QCoreApplication for the whole test process, and a wait that runs the
// event loop until a condition holds (never a fixed sleep, never a timed
// assertion: the limit is only there so that a broken timer fails the test
// instead of hanging it).
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <functional>

namespace zervik::test {

inline QCoreApplication& TestApp() {
  static int argc = 1;
  static char name[] = "zervik_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                              : new QCoreApplication(argc, argv);
  return *app;
}

// Only a hang limit: a loaded machine running pseudo-terminals and child
// processes may need a good while.
inline constexpr int kGenerousWaitMs = 30000;

// Runs the event loop until `done` holds or the generous limit passes;
// returns whether `done` held.
inline bool ProcessUntil(const std::function<bool()>& done, int limitMs = kGenerousWaitMs) {
  TestApp();
  QDeadlineTimer deadline(limitMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

// Runs the event loop for a while, to give a timer that should stay silent
// every chance to fire.
inline void ProcessFor(int ms) {
  ProcessUntil([] { return false; }, ms);
}

}  // namespace zervik::test
