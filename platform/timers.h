// Timers created and freed by tag. Every timer repeats at its interval until
// it is freed; a "one-shot" timer is one whose handler frees its own tag.
// Freeing is safe from inside the handler of the timer being freed.
#pragma once

#include <functional>

namespace zervik {

// Tags of the program's timers.
enum TTimerTag : int {
  tagDialogPanel = 34,     // 15 ms, DialogPanelTick
  tagRestorePrompt = 35,   // 1500 ms, RestoreHostPrompt
  tagBannerGrow = 40,      // 15 ms, BannerGrowTick
  tagBannerHold = 41,      // hold time, BannerHoldEnd
  tagBannerShrink = 42,    // 15 ms, BannerShrinkTick
  tagAnimation = 50,       // 15 ms, AnimateOpponentMove
  tagRefusalNotice = 55,   // 3000 ms, EndRefusalNotice
  tagLinkWatch = 99,       // 20000 ms, LinkWatchTick
  tagKeepAlive = 100,      // 8000 ms, KeepAliveTimeout
};

inline constexpr int kAnimationTickMs = 15;
inline constexpr int kPanelTickMs = 15;
inline constexpr int kBannerTickMs = 15;
inline constexpr int kRestorePromptMs = 1500;
inline constexpr int kRefusalNoticeMs = 3000;
inline constexpr int kLinkWatchMs = 20000;
inline constexpr int kKeepAliveMs = 8000;

class TTimers {
 public:
  using THandler = std::function<void()>;
  virtual ~TTimers() = default;
  // Creates a timer carrying `tag` and starts it. Several timers may carry
  // the same tag; each runs its own handler.
  virtual void CreateTimer(int tag, int intervalMs, THandler onTimer) = 0;
  // Frees every timer carrying `tag`. A handler that is running finishes;
  // a freed timer never fires again.
  virtual void FreeTimers(int tag) = 0;
  // Whether at least one timer carries `tag`.
  virtual bool HasTimer(int tag) const = 0;
};

}  // namespace zervik
