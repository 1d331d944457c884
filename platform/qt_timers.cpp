#include "platform/qt_timers.h"

#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>

namespace zervik {

TQtTimers::TQtTimers(double timeScale) : timeScale_(timeScale > 0 ? timeScale : 1.0) {}

TQtTimers::~TQtTimers() {
  // Outside every handler no timeout is being delivered, so the timers can
  // go at once instead of waiting for an event loop that may never run again.
  const bool deleteNow = *runningHandlers_ == 0;
  for (auto& entry : timers_) Release(*entry, deleteNow);
}

int TQtTimers::ScaledInterval(int intervalMs) const {
  const double scaled = std::round(static_cast<double>(intervalMs) * timeScale_);
  if (!(scaled >= 1.0)) return 1;  // also catches NaN
  if (scaled >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(scaled);
}

void TQtTimers::CreateTimer(int tag, int intervalMs, THandler onTimer) {
  auto entry = std::make_shared<TEntry>(TEntry{tag, true, new QTimer, std::move(onTimer)});
  QTimer* timer = entry->timer;
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(ScaledInterval(intervalMs));
  // The lambda holds the entry, not `this`: a handler may destroy this
  // object, and the entry keeps the handler alive until it returns.
  QObject::connect(timer, &QTimer::timeout, timer, [entry, running = runningHandlers_]() {
    if (!entry->alive) return;
    auto handler = entry->handler;
    if (!handler) return;
    ++*running;
    handler();
    --*running;
  });
  timers_.push_back(std::move(entry));
  timer->start();
}

void TQtTimers::Release(TEntry& entry, bool deleteNow) {
  entry.alive = false;
  if (!entry.timer) return;
  entry.timer->stop();
  if (deleteNow)
    delete entry.timer;
  else
    entry.timer->deleteLater();
  entry.timer = nullptr;
}

void TQtTimers::FreeTimers(int tag) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if ((*it)->tag == tag) {
      // Freed from a handler, the timer being freed may be the one whose
      // timeout is being delivered right now: it must not be deleted under
      // its own signal.
      Release(**it, *runningHandlers_ == 0);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

bool TQtTimers::HasTimer(int tag) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [tag](const std::shared_ptr<TEntry>& e) { return e->tag == tag; });
}

int TQtTimers::Count() const { return static_cast<int>(timers_.size()); }

}  // namespace zervik
