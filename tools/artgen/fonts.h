#pragma once
// Glyph outlines from font files of Debian's packages, read straight from the
// file so that no font substitution can change the pictures.

#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <optional>

inline constexpr const char* kFreeSerifFile =
    "/usr/share/fonts/truetype/freefont/FreeSerif.ttf";  // fonts-freefont-ttf
inline constexpr const char* kFreeSerifBoldFile =
    "/usr/share/fonts/truetype/freefont/FreeSerifBold.ttf";
inline constexpr const char* kDejaVuSansFile =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";  // fonts-dejavu-core
inline constexpr const char* kDejaVuSansBoldFile =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Empty when the file is missing or unreadable.
std::optional<QRawFont> LoadFont(const QString& file, double pixelSize);

// The outline of `text` laid out on one line with its baseline at `origin`.
// Empty when the font lacks one of the characters.
QPainterPath TextPath(const QRawFont& font, const QString& text, QPointF origin);

// The advance width of `text`.
double TextWidth(const QRawFont& font, const QString& text);
