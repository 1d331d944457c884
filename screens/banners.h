// The banner notices: one line of bold text in a small box that grows out of
// the board centre (Tag 40), stays for its hold time (Tag 41) and shrinks
// back (Tag 42). One banner is on the board at a time; the rest wait in a
// queue of twenty slots. The banner is the window's sprite slot 33, drawn
// over the pieces by RedrawPieces.
#pragma once

#include <array>
#include <string>

#include "core/services.h"
#include "core/types.h"

namespace zervik {

class TForm1;
class TTimers;
class IDialogPanel;

inline constexpr int kBannerQueueSize = 20;
// Where the corner of a banner that has ended is parked: off the canvas.
inline constexpr int kBannerParkedXY = 1000;
inline constexpr int kBannerTextMarginX = 40;  // picture width = text width + 40
inline constexpr int kBannerTextMarginY = 10;

struct TBannerRequest {
  std::string text;  // empty: a free slot
  int holdMs = 0;
  TColor textColour = clBlack;
  bool turnValue = false;
  bool setTurnOnClose = false;
  bool mainMenuOnClose = false;
};

class TBanners : public IBanners {
 public:
  // The window, the timers and the panel must outlive the banners.
  TBanners(TForm1& form, TTimers& timers, IDialogPanel& panel);
  ~TBanners() override;
  TBanners(const TBanners&) = delete;  // the timers' handlers point here
  TBanners& operator=(const TBanners&) = delete;

  void ShowBanner(const std::string& text, int holdMs, TColor textColour, bool turnValue,
                  bool setTurnOnClose, bool mainMenuOnClose) override;

  void BannerGrowTick();
  void BannerHoldEnd();
  void BannerShrinkTick();

  // Notices waiting behind the one shown.
  int Pending() const;
  // Notices dropped because all twenty slots were taken.
  int dropped = 0;

  std::array<TBannerRequest, kBannerQueueSize> bannerQueue{};
  // The notice being shown.
  std::string bannerText;
  int bannerHoldMs = 0;
  bool bannerTurnValue = false;
  bool bannerSetTurn = false;
  bool bannerToMainMenu = false;
  float bannerPosX = 0, bannerPosY = 0;
  float bannerCurWidth = 0, bannerCurHeight = 0;
  float bannerStepX = 0, bannerStepY = 0;

 private:
  // Resizes the shown frame to the current size, stretches the full
  // picture into it and outlines it.
  void DrawBannerFrame();
  void SetCorner();

  TForm1& form;
  TTimers& timers;
  IDialogPanel& panel;
};

}  // namespace zervik
