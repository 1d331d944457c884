#include "platform/qt_canvas.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <array>

namespace zervik {

namespace {

// Debian's fonts-dejavu-core puts the faces here.
constexpr std::array<const char*, 2> kFontFiles = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
};

}  // namespace

bool LoadWindowFonts() {
  static const bool loaded = [] {
    bool all = true;
    for (const char* file : kFontFiles)
      if (QFontDatabase::addApplicationFont(QString::fromLatin1(file)) < 0) all = false;
    return all;
  }();
  return loaded;
}

QFont WindowFont(bool bold) {
  QFont font(QString::fromLatin1(kWindowFontFamily));
  font.setPixelSize(kWindowFontPixels);
  font.setBold(bold);
  // Hinting and kerning would change widths between machines and versions.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

int TextWidth(const QFont& font, const QString& text) {
  return QFontMetrics(font).horizontalAdvance(text);
}

int TextHeight(const QFont& font) { return QFontMetrics(font).height(); }

void TextOutAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(x, y + QFontMetrics(painter.font()).ascent(), text);
}

void CopyArea(QImage& target, const QImage& source, const TRect& area) {
  if (area.IsEmpty() || target.isNull() || source.isNull()) return;
  const QRect rect = area.ToQRect() & source.rect() & target.rect();
  if (rect.isEmpty()) return;
  QPainter painter(&target);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(rect.topLeft(), source, rect);
}

void FillArea(QImage& target, const TRect& area, TColor colour) {
  if (area.IsEmpty() || target.isNull()) return;
  QPainter painter(&target);
  painter.fillRect(area.ToQRect(), ToQColor(colour));
}

QImage MakeSurface(int width, int height, TColor fill) {
  QImage surface(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  surface.fill(ToQColor(fill));
  return surface;
}

namespace {

TBitmapResult ReadBmp(const QString& path, const QString& shownName) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return TBitmapError{QStringLiteral("Cannot open file %1").arg(shownName)};
  // The reader is told the format and may not guess another one: a PNG
  // renamed to .bmp is not a valid bitmap for the skins.
  QImageReader reader(&file, "bmp");
  reader.setAutoDetectImageFormat(false);
  reader.setDecideFormatFromContent(false);
  QImage image = reader.read();
  if (image.isNull()) return TBitmapError{QStringLiteral("Bitmap image is not valid")};
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TBitmapResult LoadBitmapFile(const QString& path, const QString& shownName) {
  return ReadBmp(path, shownName);
}

TBitmapResult LoadBitmapResource(const QString& resourcePath) {
  return ReadBmp(resourcePath, resourcePath);
}

void TPiecePicture::Assign(const QImage& picture) {
  if (picture.isNull()) {
    image_ = QImage();
    return;
  }
  QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = argb.pixel(0, argb.height() - 1) & RGB_MASK;
  for (int y = 0; y < argb.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      line[x] = (line[x] & RGB_MASK) == key ? 0u : (line[x] | 0xFF000000u);
  }
  image_ = argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TPiecePicture::DrawAt(QPainter& painter, int x, int y) const {
  if (image_.isNull()) return;
  painter.drawImage(x, y, image_);
}

}  // namespace zervik
