// Fakes of the services a game uses, recording what the game asked for.
#pragma once

#include <string>
#include <vector>

#include "core/services.h"
#include "core/silent_services.h"
#include "core/types.h"

namespace zervik::testing {

using TBannerCall = TBannerNotice;

// The silent services' wiring (Services(), the virtual clock `timers`, the
// draw item `drawItem`), with every call recorded.
class TRecordingServices : public TSilentServices {
 public:
  void SendToOpponent(const std::string& text) override { sent.push_back(text); }
  void ShowBanner(const std::string& text, int holdMs, TColor textColour, bool turnValue,
                  bool setTurnOnClose, bool mainMenuOnClose) override {
    banners.push_back({text, holdMs, textColour, turnValue, setTurnOnClose, mainMenuOnClose});
  }
  void FocusAtEnd() override { ++focusCalls; }
  void SetSelectionColour(TColor) override {}
  void AddLine(const std::string& text) override { lines.push_back(text); }
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string Line(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
  void ReplaceLine(int index, const std::string& text) override {
    lines.at(static_cast<std::size_t>(index)) = text;
  }
  void RedrawPieces(int mode) override { ++(mode == 0 ? redrawChanged : redrawAll); }
  void DrawWindowFrame(int mode) override { ++(mode == 0 ? frameWhole : frameCaptions); }
  void LoadSkin() override { ++skinLoads; }
  void ShowPromotionChooser() override { ++chooserShown; }
  void HidePromotionChooser() override { ++chooserHidden; }
  void PlayMoveSound() override { ++moveSounds; }

  // Texts of the banners shown so far, in order.
  std::vector<std::string> BannerTexts() const;

  std::vector<std::string> sent;
  std::vector<TBannerCall> banners;
  std::vector<std::string> lines;
  int focusCalls = 0;
  int redrawChanged = 0, redrawAll = 0;
  int frameWhole = 0, frameCaptions = 0;
  int skinLoads = 0;
  int chooserShown = 0, chooserHidden = 0;
  int moveSounds = 0;
};

}  // namespace zervik::testing
