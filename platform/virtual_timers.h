// A virtual clock for tests and simulations: time moves only when Advance
// is called, and the handlers that fall due run in order of their due time
// (timers due at the same moment run in the order they were created).
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "platform/timers.h"

namespace zervik {

class TVirtualTimers : public TTimers {
 public:
  void CreateTimer(int tag, int intervalMs, THandler onTimer) override;
  void FreeTimers(int tag) override;
  bool HasTimer(int tag) const override;

  // Runs every handler due within the next `ms` milliseconds and leaves the
  // clock `ms` later.
  void Advance(std::int64_t ms);
  // Runs the next due handler (moving the clock to its time). Returns false
  // when no timer exists.
  bool RunNext();
  std::int64_t Now() const { return now_; }
  // Time of the next due handler, or -1 when no timer exists.
  std::int64_t NextDue() const;
  int Count() const;

 private:
  struct TEntry {
    int tag;
    int intervalMs;
    std::int64_t due;
    std::uint64_t order;
    bool alive;
    THandler handler;
  };
  std::shared_ptr<TEntry> EarliestDue(std::int64_t limit) const;
  void Fire(const std::shared_ptr<TEntry>& entry);

  // Shared pointers: a handler may free (and so erase) its own entry while
  // it runs, so the running entry must stay alive until it returns.
  std::list<std::shared_ptr<TEntry>> timers_;
  std::int64_t now_ = 0;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace zervik
