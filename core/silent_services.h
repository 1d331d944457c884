// Services that do nothing, for running games where nobody watches: counting
// positions, benchmarks and headless tools. The timers are a virtual clock,
// so a received move's animation runs only when the owner advances it.
#pragma once

#include "core/services.h"
#include "core/types.h"
#include "platform/virtual_timers.h"

namespace zervik {

class TSilentServices : public ISender, public IBanners, public IRecordPanel, public IGameView {
 public:
  TSilentServices() = default;
  // Games hold pointers into this object; a copy would leave them pointing
  // at the original.
  TSilentServices(const TSilentServices&) = delete;
  TSilentServices& operator=(const TSilentServices&) = delete;

  void SendToOpponent(const std::string&) override {}
  void ShowBanner(const std::string&, int, TColor, bool, bool, bool) override {}
  void FocusAtEnd() override {}
  void SetSelectionColour(TColor) override {}
  void AddLine(const std::string&) override {}
  int LineCount() const override { return 0; }
  std::string Line(int) const override { return {}; }
  void ReplaceLine(int, const std::string&) override {}
  void RedrawPieces(int) override {}
  void DrawWindowFrame(int) override {}
  void LoadSkin() override {}
  void ShowPromotionChooser() override {}
  void HidePromotionChooser() override {}
  void PlayMoveSound() override {}

  // The services of a game, pointing into this object.
  TGameServices Services();

  TVirtualTimers timers;
  TScreenButton drawItem;
};

}  // namespace zervik
