#include "tests/core/test_services.h"

namespace zervik::testing {

TGameServices TRecordingServices::Services() {
  TGameServices s;
  s.sender = this;
  s.banners = this;
  s.record = this;
  s.view = this;
  s.timers = &timers;
  s.btnDraw = &drawItem;
  return s;
}

std::vector<std::string> TRecordingServices::BannerTexts() const {
  std::vector<std::string> texts;
  for (const auto& b : banners) texts.push_back(b.text);
  return texts;
}

}  // namespace zervik::testing
