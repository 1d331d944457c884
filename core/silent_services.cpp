#include "core/silent_services.h"

namespace zervik {

TGameServices TSilentServices::Services() {
  TGameServices s;
  s.sender = this;
  s.banners = this;
  s.record = this;
  s.view = this;
  s.timers = &timers;
  s.btnDraw = &drawItem;
  return s;
}

}  // namespace zervik
