#include "tests/core/test_services.h"

namespace zervik::testing {

std::vector<std::string> TRecordingServices::BannerTexts() const {
  std::vector<std::string> texts;
  for (const auto& b : banners) texts.push_back(b.text);
  return texts;
}

}  // namespace zervik::testing
