// Timers by tag on the Qt event loop. Each timer is a QTimer owned here. A
// freed timer is stopped at once; when it is freed from inside a handler it
// is deleted later by the event loop, so a handler may free its own tag,
// other tags, or destroy this object while it runs.
#pragma once

#include <list>
#include <memory>

#include "platform/timers.h"

class QTimer;

namespace zervik {

class TQtTimers : public TTimers {
 public:
  // Every interval is multiplied by `timeScale` (at least 1 ms), so a test
  // peer can run the program's real timers faster than the wall clock.
  explicit TQtTimers(double timeScale = 1.0);
  ~TQtTimers() override;
  // The timers are QObjects tied to this owner; copying would share them.
  TQtTimers(const TQtTimers&) = delete;
  TQtTimers& operator=(const TQtTimers&) = delete;

  void CreateTimer(int tag, int intervalMs, THandler onTimer) override;
  void FreeTimers(int tag) override;
  bool HasTimer(int tag) const override;

  // Number of live timers (freed ones are not counted).
  int Count() const;
  double TimeScale() const { return timeScale_; }
  // The interval a QTimer gets for a requested interval.
  int ScaledInterval(int intervalMs) const;

 private:
  struct TEntry {
    int tag;
    bool alive;
    QTimer* timer;
    THandler handler;
  };
  void Release(TEntry& entry, bool deleteNow);

  double timeScale_;
  // Shared with the timer's connection: the connection checks `alive`
  // before it calls the handler, since a timeout already queued for a timer
  // freed in the same pass of the event loop must not reach the handler.
  std::list<std::shared_ptr<TEntry>> timers_;
  // How many of our handlers are on the stack right now. Shared with the
  // connections so that it outlives this object when a handler destroys it.
  std::shared_ptr<int> runningHandlers_ = std::make_shared<int>(0);
};

}  // namespace zervik
