#pragma once
// The pictures embedded in the executable: the button face, the check-box
// glyphs, the switch glyph and the About logo.

#include <QImage>
#include <optional>

#include "pieces.h"

inline constexpr QRgb kPanelFace = qRgb(236, 233, 216);
inline constexpr QRgb kPanelBorder = qRgb(172, 168, 153);

inline constexpr int kButtonWidth = 200;
inline constexpr int kButtonHeight = 25;
inline constexpr int kCheckGlyph = 9;  // two square glyphs side by side: checked, unchecked
inline constexpr int kSwitchWidth = 9;
inline constexpr int kSwitchHeight = 8;
inline constexpr int kLogoWidth = 265;
inline constexpr int kLogoHeight = 93;

QImage DrawButtonFace();
QImage DrawCheckBoxStrip();
QImage DrawSwitchGlyph();
// Uses the white knight of `pieces`; empty when the lettering font is missing.
std::optional<QImage> DrawLogo(const TPieceSet& pieces);
