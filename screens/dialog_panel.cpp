// The panel itself: drawing, centring and the Tag 34 animation.
#include "screens/dialog_panel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

#include "platform/timers.h"
#include "protocol/match.h"
#include "shell/form1.h"

namespace zervik {

namespace {

int Trunc(float value) { return static_cast<int>(value); }

// Outlines `r` the way a GDI rectangle does: the outline lies on the
// rectangle's outermost pixels, right and bottom exclusive.
void OutlineRect(QPainter& painter, const TRect& r) {
  if (r.IsEmpty()) return;
  painter.drawRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
}

}  // namespace

TDialogPanel::TDialogPanel(TForm1& form, TTimers& timers)
    : form(form), screen(form.screen), timers(timers) {}

TDialogPanel::~TDialogPanel() { timers.FreeTimers(tagDialogPanel); }

int TDialogPanel::CentreX() const { return form.game.boardLeft + form.game.boardWidth / 2; }
int TDialogPanel::CentreY() const { return form.game.boardTop + form.game.boardHeight / 2; }

TRect TDialogPanel::CurrentPanelRect() const {
  const int w = Trunc(form.panelWidth);
  const int h = Trunc(form.panelHeight);
  const int left = CentreX() - w / 2;
  const int top = CentreY() - h / 2;
  return TRect{left, top, left + w, top + h};
}

int TDialogPanel::TextWidthOf(const std::string& text) const {
  return TextWidth(form.windowFont, QString::fromStdString(text));
}

int TDialogPanel::TextHeightOfFont() const { return TextHeight(form.windowFont); }

// ---------------------------------------------------------------------------
// Drawing

void TDialogPanel::PaintDialogPanel(bool copyToWindow) {
  if (!screen.panelShown || form.boardCanvas.isNull()) return;
  {
    QPainter painter(&form.boardCanvas);
    painter.setFont(form.windowFont);
    // 1. The panel body. Its height is 0 while an old panel closes, so a
    //    repaint then draws no old body over the animation.
    const TRect body = CurrentPanelRect();
    if (!body.IsEmpty()) {
      painter.setPen(ToQColor(clPanelBorder));
      painter.setBrush(ToQColor(clPanelFace));
      OutlineRect(painter, body);
    }
    const int th = TextHeightOfFont();
    // 2. The prompt, on an opaque face: a long one runs past the panel.
    if (promptVisible) {
      const QString prompt = QString::fromStdString(screen.promptText);
      painter.fillRect(promptLeft, promptTop, TextWidth(form.windowFont, prompt), th,
                       ToQColor(clPanelFace));
      painter.setPen(ToQColor(screen.promptColour));
      TextOutAt(painter, promptLeft, promptTop, prompt);
    }
    // 3. The tone/pulse switch with its glyph.
    if (dialModeVisible) {
      const QString text = QString::fromStdString(dialModeText);
      painter.fillRect(dialModeLeft, dialModeTop, TextWidth(form.windowFont, text), th,
                       ToQColor(clPanelFace));
      painter.setPen(ToQColor(screen.promptColour));
      TextOutAt(painter, dialModeLeft, dialModeTop, text);
      if (!form.toggleGlyphBitmap.isNull())
        painter.drawImage(dialModeLeft - form.toggleGlyphBitmap.width() - kDialModeGlyphGap,
                          dialModeTop + 2, form.toggleGlyphBitmap);
    }
    // 4. The visible panel buttons, captions centred on their faces.
    for (int i = btnPanelLow; i <= btnPanelTop; ++i) {
      const TScreenButton& button = screen.screenButtons[i];
      if (!button.visible) continue;
      if (!form.buttonBitmap.isNull())
        painter.drawImage(button.left, button.top, form.buttonBitmap);
      const QString caption = QString::fromStdString(button.caption);
      painter.setPen(ToQColor(button.textColour));
      TextOutAt(painter,
                button.left + form.buttonWidth / 2 - TextWidth(form.windowFont, caption) / 2,
                button.top + form.buttonHeight / 2 - th / 2, caption);
    }
  }
  if (copyToWindow) form.CopyBoardToWindow(form.boardRect);
}

void TDialogPanel::CentreDialogTexts() {
  const int cx = CentreX();
  promptLeft = cx - TextWidthOf(screen.promptText) / 2;
  for (int i = btnPanelLow; i <= btnPanelTop; ++i)
    screen.screenButtons[i].left = cx - form.buttonWidth / 2;
  form.eip->move(cx - form.eip->width() / 2, form.eip->y());
  form.ccomport->move(cx - form.ccomport->width() / 2, form.ccomport->y());
  dialModeLeft = cx - TextWidthOf(dialModeText) / 2;
}

void TDialogPanel::HideDialogFields() {
  for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].visible = false;
  form.eip->hide();
  form.ccomport->hide();
  promptVisible = false;
  dialModeVisible = false;
  form.panelHeight = 0;
}

void TDialogPanel::VanishPanel() {
  timers.FreeTimers(tagDialogPanel);
  panelClosing = false;
  form.eip->hide();
  form.ccomport->hide();
  if (form.boardCanvas.isNull()) return;
  CopyArea(form.boardCanvas, form.backgroundCanvas, form.boardRect);
  form.CopyBoardToWindow(form.boardRect);
}

// The field's picture: the real control stays hidden until the panel has
// opened, so the growing panel shows a painted one in its place.
void TDialogPanel::PaintEditFieldPicture() {
  const QRect field = form.eip->geometry();
  QPainter painter(&form.boardCanvas);
  painter.setFont(form.windowFont);
  const TRect outer{field.left(), field.top(), field.left() + field.width(),
                    field.top() + field.height()};
  painter.setPen(ToQColor(clPanelBorder));
  painter.setBrush(QColor(255, 255, 255));
  OutlineRect(painter, outer);
  painter.setPen(ToQColor(clPanelFace));
  OutlineRect(painter, TRect{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1});
  painter.setBrush(Qt::NoBrush);
  const QString text = form.eip->text();
  if (TextWidth(form.windowFont, text) < field.width()) {
    painter.setPen(ToQColor(clBlack));
    TextOutAt(painter, outer.left + 2, outer.top + 2, text);
  }
}

void TDialogPanel::DrawFrame() {
  const TRect frame{Trunc(animLeft), Trunc(animTop), Trunc(animRight), Trunc(animBottom)};
  {
    QPainter painter(&form.boardCanvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(form.panelRect.left, form.panelRect.top, form.panelBackground);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!frame.IsEmpty()) {
      painter.drawImage(frame.ToQRect(), form.panelImage);
      painter.setPen(ToQColor(clPanelBorder));
      painter.setBrush(Qt::NoBrush);
      OutlineRect(painter, frame);
    }
  }
  if (frameDrawn) frameDrawn(frame);
  form.CopyBoardToWindow(form.boardRect);
}

// ---------------------------------------------------------------------------
// The transition

void TDialogPanel::OpenDialogPanel() {
  ++transitionsBegun;
  const bool closingRuns =
      screen.panelInTransition && panelClosing && timers.HasTimer(tagDialogPanel);
  screen.panelInTransition = true;
  for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].enabled = false;
  if (!closingRuns) {
    // The panel now on the board (possibly 0 x 0) is what shrinks.
    const float w = form.panelWidth;
    const float h = form.panelHeight;
    const int cx = CentreX();
    const int cy = CentreY();
    animLeft = static_cast<float>(cx) - w / 2;
    animRight = static_cast<float>(cx) + w / 2;
    animTop = static_cast<float>(cy) - h / 2;
    animBottom = static_cast<float>(cy) + h / 2;
    form.panelRect = CurrentPanelRect();
    form.panelImage = form.boardCanvas.isNull()
                          ? MakeSurface(form.panelRect.right - form.panelRect.left,
                                        form.panelRect.bottom - form.panelRect.top)
                          : form.boardCanvas.copy(form.panelRect.ToQRect());
    screen.panelShown = true;
    // A twentieth of the size per edge: 10 % of the width and height a tick.
    animStepX = w / 20;
    animStepY = h / 20;
    panelClosing = true;
  }
  // A closing already under way simply goes on towards the new screen;
  // either way one timer drives the animation, never two.
  timers.FreeTimers(tagDialogPanel);
  timers.CreateTimer(tagDialogPanel, kPanelTickMs, [this] { DialogPanelTick(); });
  HideDialogFields();
}

void TDialogPanel::DialogPanelTick() {
  if (form.boardCanvas.isNull()) return;  // the window has not been shown yet
  Tick();
}

void TDialogPanel::Tick() {
  if (panelClosing) {
    if (animTop < animBottom) {
      animLeft += animStepX;
      animTop += animStepY;
      animRight -= animStepX;
      animBottom -= animStepY;
      DrawFrame();
      return;
    }
    const int state = screen.screenState;
    if (state == ssStartGame || state == ssBoardOnly) {
      FinishClosing(state);
      return;
    }
    LayOutNewScreen();
    return;
  }
  if (animBottom - animTop < form.panelHeight) {
    animLeft -= animStepX;
    animTop -= animStepY;
    animRight += animStepX;
    animBottom += animStepY;
    DrawFrame();
    return;
  }
  FinishOpening();
}

void TDialogPanel::FinishClosing(int state) {
  timers.FreeTimers(tagDialogPanel);
  const int transition = transitionsBegun;
  screen.panelShown = false;
  CopyArea(form.boardCanvas, form.backgroundCanvas, form.boardRect);
  if (match) {
    if (state == ssStartGame)
      match->StartGamePanelClosed();
    else
      match->BoardOnlyPanelClosed();
  } else {
    form.RedrawPieces(1);
  }
  form.CopyBoardToWindow(form.boardRect);
  if (transition == transitionsBegun) screen.panelInTransition = false;
}

void TDialogPanel::LayOutNewScreen() {
  SetUpDialogScreen();
  form.panelRect = CurrentPanelRect();
  form.panelBackground = form.boardCanvas.copy(form.panelRect.ToQRect());
  PaintDialogPanel(false);
  if (showsEditField) PaintEditFieldPicture();
  form.panelImage = form.boardCanvas.copy(form.panelRect.ToQRect());
  animStepX = form.panelWidth / 20;
  animStepY = form.panelHeight / 20;
  const int cx = CentreX();
  const int cy = CentreY();
  animLeft = static_cast<float>(cx) - animStepX;
  animRight = static_cast<float>(cx) + animStepX;
  animTop = static_cast<float>(cy) - animStepY;
  animBottom = static_cast<float>(cy) + animStepY;
  panelClosing = false;
}

void TDialogPanel::FinishOpening() {
  // Freed first: an opening action may start the next transition, whose
  // timer must live on.
  timers.FreeTimers(tagDialogPanel);
  const int transition = transitionsBegun;
  RunOpeningAction(screen.screenState);
  if (transition != transitionsBegun) return;
  for (int i = btnPanelLow; i <= btnPanelTop; ++i) screen.screenButtons[i].enabled = true;
  if (match) match->ApplyDeferredClaim();
  PaintDialogPanel(true);
  screen.panelInTransition = false;
}

}  // namespace zervik
