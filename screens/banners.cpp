#include "screens/banners.h"

#include <QPainter>
#include <algorithm>

#include "platform/qt_canvas.h"
#include "platform/timers.h"
#include "protocol/screen_state.h"
#include "shell/form1.h"

namespace zervik {

namespace {

int Trunc(float value) { return static_cast<int>(value); }

}  // namespace

TBanners::TBanners(TForm1& form, TTimers& timers, IDialogPanel& panel)
    : form(form), timers(timers), panel(panel) {}

TBanners::~TBanners() {
  timers.FreeTimers(tagBannerGrow);
  timers.FreeTimers(tagBannerHold);
  timers.FreeTimers(tagBannerShrink);
}

int TBanners::Pending() const {
  return static_cast<int>(
      std::count_if(bannerQueue.begin(), bannerQueue.end(),
                    [](const TBannerRequest& slot) { return !slot.text.empty(); }));
}

void TBanners::ShowBanner(const std::string& text, int holdMs, TColor textColour, bool turnValue,
                          bool setTurnOnClose, bool mainMenuOnClose) {
  if (form.bannerActive) {
    const auto free = std::find_if(bannerQueue.begin(), bannerQueue.end(),
                                   [](const TBannerRequest& slot) { return slot.text.empty(); });
    // A notice that finds every slot taken is dropped: it may not be kept
    // anywhere but in the queue.
    if (free == bannerQueue.end()) {
      ++dropped;
      return;
    }
    *free = TBannerRequest{text, holdMs, textColour, turnValue, setTurnOnClose, mainMenuOnClose};
    return;
  }
  bannerText = text;
  bannerHoldMs = holdMs;
  bannerTurnValue = turnValue;
  bannerSetTurn = setTurnOnClose;
  bannerToMainMenu = mainMenuOnClose;

  // The full-size picture: the text in bold on the face, no visible border.
  const QFont bold = WindowFont(true);
  const QString shown = QString::fromStdString(text);
  const int tw = TextWidth(bold, shown);
  const int th = TextHeight(bold);
  const int w = tw + kBannerTextMarginX;
  const int h = th + kBannerTextMarginY;
  form.bannerImage = MakeSurface(w, h, clPanelFace);
  {
    QPainter painter(&form.bannerImage);
    painter.setFont(bold);
    painter.setPen(ToQColor(textColour));
    TextOutAt(painter, w / 2 - tw / 2, h / 2 - th / 2, shown);
  }
  bannerStepX = 0.1f * static_cast<float>(w);
  bannerStepY = 0.1f * static_cast<float>(h);
  bannerCurWidth = 0;
  bannerCurHeight = 0;

  const int cx = form.game.boardLeft + form.game.boardWidth / 2;
  const int cy = form.game.boardTop + form.game.boardHeight / 2;
  form.game.spriteX[kBannerSlot] = cx;
  form.game.spriteY[kBannerSlot] = cy;
  bannerPosX = static_cast<float>(cx);
  bannerPosY = static_cast<float>(cy);

  form.bannerActive = true;
  timers.CreateTimer(tagBannerGrow, kBannerTickMs, [this] { BannerGrowTick(); });
}

void TBanners::SetCorner() {
  form.game.spriteX[kBannerSlot] = Trunc(bannerPosX);
  form.game.spriteY[kBannerSlot] = Trunc(bannerPosY);
}

void TBanners::DrawBannerFrame() {
  const int w = std::max(0, Trunc(bannerCurWidth));
  const int h = std::max(0, Trunc(bannerCurHeight));
  if (w == 0 || h == 0) {
    form.bannerFrame = QImage();
    return;
  }
  form.bannerFrame = form.bannerImage.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  QPainter painter(&form.bannerFrame);
  painter.setPen(ToQColor(clPanelBorder));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, w - 1, h - 1);
}

void TBanners::BannerGrowTick() {
  const float fullWidth = static_cast<float>(form.bannerImage.width());
  const float shownWidth =
      form.bannerFrame.isNull() ? 0.0f : static_cast<float>(form.bannerFrame.width());
  if (shownWidth >= fullWidth - bannerStepX) {
    timers.CreateTimer(tagBannerHold, std::max(bannerHoldMs, 1), [this] { BannerHoldEnd(); });
    timers.FreeTimers(tagBannerGrow);
    return;
  }
  bannerCurWidth += bannerStepX;
  bannerCurHeight += bannerStepY;
  DrawBannerFrame();
  bannerPosX -= bannerStepX / 2;
  bannerPosY -= bannerStepY / 2;
  SetCorner();
  form.RedrawPieces(0);
}

void TBanners::BannerHoldEnd() {
  timers.CreateTimer(tagBannerShrink, kBannerTickMs, [this] { BannerShrinkTick(); });
  timers.FreeTimers(tagBannerHold);
}

void TBanners::BannerShrinkTick() {
  if (!form.bannerFrame.isNull() && form.bannerFrame.width() >= 1) {
    bannerCurWidth -= bannerStepX;
    bannerCurHeight -= bannerStepY;
    DrawBannerFrame();
    bannerPosX += bannerStepX / 2;
    bannerPosY += bannerStepY / 2;
    SetCorner();
    form.RedrawPieces(0);
    return;
  }
  // The banner ends: its last frame is erased by a redraw with the 2 x 2
  // picture parked off the canvas.
  form.bannerFrame = MakeSurface(2, 2, clPanelFace);
  form.game.spriteX[kBannerSlot] = kBannerParkedXY;
  form.game.spriteY[kBannerSlot] = kBannerParkedXY;
  form.RedrawPieces(0);
  if (bannerSetTurn) form.game.myTurn = bannerTurnValue;
  form.previousSpriteRects[kBannerSlot] = form.spriteRects[kBannerSlot];
  form.bannerActive = false;
  if (bannerToMainMenu) {
    form.screen.screenState = ssMainMenu;
    panel.OpenDialogPanel();
  }
  timers.FreeTimers(tagBannerShrink);
  if (!bannerQueue[0].text.empty()) {
    const TBannerRequest next = bannerQueue[0];
    std::move(bannerQueue.begin() + 1, bannerQueue.end(), bannerQueue.begin());
    bannerQueue[kBannerQueueSize - 1] = TBannerRequest{};
    ShowBanner(next.text, next.holdMs, next.textColour, next.turnValue, next.setTurnOnClose,
               next.mainMenuOnClose);
  }
}

}  // namespace zervik
