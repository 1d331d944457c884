#include "platform/virtual_timers.h"

#include <algorithm>

namespace zervik {

void TVirtualTimers::CreateTimer(int tag, int intervalMs, THandler onTimer) {
  const int interval = std::max(intervalMs, 1);
  timers_.push_back(std::make_shared<TEntry>(
      TEntry{tag, interval, now_ + interval, nextOrder_++, true, std::move(onTimer)}));
}

void TVirtualTimers::FreeTimers(int tag) {
  for (auto& t : timers_)
    if (t->tag == tag) t->alive = false;
  timers_.remove_if([tag](const std::shared_ptr<TEntry>& t) { return t->tag == tag; });
}

bool TVirtualTimers::HasTimer(int tag) const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [tag](const std::shared_ptr<TEntry>& t) { return t->tag == tag; });
}

int TVirtualTimers::Count() const { return static_cast<int>(timers_.size()); }

std::shared_ptr<TVirtualTimers::TEntry> TVirtualTimers::EarliestDue(std::int64_t limit) const {
  std::shared_ptr<TEntry> best;
  for (const auto& t : timers_) {
    if (t->due > limit) continue;
    if (!best || t->due < best->due || (t->due == best->due && t->order < best->order)) best = t;
  }
  return best;
}

std::int64_t TVirtualTimers::NextDue() const {
  auto e = EarliestDue(INT64_MAX);
  return e ? e->due : -1;
}

void TVirtualTimers::Fire(const std::shared_ptr<TEntry>& e) {
  now_ = std::max(now_, e->due);
  e->due += e->intervalMs;
  auto handler = e->handler;  // the handler may free its own entry
  handler();
}

bool TVirtualTimers::RunNext() {
  auto e = EarliestDue(INT64_MAX);
  if (!e) return false;
  Fire(e);
  return true;
}

void TVirtualTimers::Advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  while (auto e = EarliestDue(end)) Fire(e);
  now_ = end;
}

}  // namespace zervik
