#include "fonts.h"

#include <QFile>

std::optional<QRawFont> LoadFont(const QString& file, double pixelSize) {
  if (!QFile::exists(file)) return std::nullopt;
  QRawFont font(file, pixelSize, QFont::PreferNoHinting);
  if (!font.isValid()) return std::nullopt;
  return font;
}

QPainterPath TextPath(const QRawFont& font, const QString& text, QPointF origin) {
  QPainterPath path;
  const QList<quint32> glyphs = font.glyphIndexesForString(text);
  if (glyphs.contains(0u)) return path;
  const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
  QPointF pen = origin;
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
    pen += advances[i];
  }
  return path;
}

double TextWidth(const QRawFont& font, const QString& text) {
  double width = 0;
  for (const QPointF& a : font.advancesForGlyphIndexes(font.glyphIndexesForString(text)))
    width += a.x();
  return width;
}
