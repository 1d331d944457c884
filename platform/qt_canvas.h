// Drawing helpers of the windows: the program's one font, colour values,
// bitmap files read the strict way the skins need, piece pictures with their
// transparent colour, and copies between off-screen surfaces that share
// window coordinates.
//
// Every surface is a 32-bit QImage. A surface "compatible with the window"
// is simply an RGB32 image of the wanted size; there is no palette to
// select or realise on a true-colour surface, so the drawing code has no
// palette steps at all.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <variant>

#include "core/types.h"

class QPainter;

namespace zervik {

inline QColor ToQColor(TColor c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

// The program's texts are measured and drawn in one sans font, DejaVu Sans,
// loaded from its file so that every machine measures the same widths.
// 8 points at the 96 dpi the window layout was designed for are 11 pixels;
// the size is given in pixels so that a screen with another dpi setting
// still lays out the same.
inline constexpr int kWindowFontPixels = 11;
inline constexpr const char* kWindowFontFamily = "DejaVu Sans";
// Registers the regular and bold faces once per process. Returns false when
// a face file cannot be found; Qt then substitutes another sans font.
bool LoadWindowFonts();
QFont WindowFont(bool bold = false);
// Text measures as the window's canvas gives them.
int TextWidth(const QFont& font, const QString& text);
int TextHeight(const QFont& font);
// Draws `text` with its top-left corner at (x, y) and no background box.
void TextOutAt(QPainter& painter, int x, int y, const QString& text);

// A rectangle by its four edges, right and bottom exclusive, so that equal
// edges mean equal rectangles and (0, 0, 0, 0) is the empty one.
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
  QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

// Copies `area` of `source` onto the same place of `target`, pixel for
// pixel (no blending). Parts outside either surface are left out.
void CopyArea(QImage& target, const QImage& source, const TRect& area);
// Fills `area` of `target` with one colour.
void FillArea(QImage& target, const TRect& area, TColor colour);
// A blank surface of the window's kind.
QImage MakeSurface(int width, int height, TColor fill = clPanelFace);

// Reading a bitmap file fails in one of two ways, and the message names
// which (the program shows it in its error box).
struct TBitmapError {
  QString message;
};
using TBitmapResult = std::variant<QImage, TBitmapError>;
// Reads a BMP file. `path` is opened; `shownName` is the name the error
// messages give ("Cannot open file %s", "Bitmap image is not valid").
// Only real BMP data is accepted, whatever the file is called.
TBitmapResult LoadBitmapFile(const QString& path, const QString& shownName);
// The same for a bitmap compiled into the executable (a Qt resource).
TBitmapResult LoadBitmapResource(const QString& resourcePath);

// A piece picture: every pixel of the colour of its own bottom-left pixel
// is left out when it is drawn. The mask is made once, when the picture is
// assigned, never per draw.
class TPiecePicture {
 public:
  TPiecePicture() = default;
  explicit TPiecePicture(const QImage& picture) { Assign(picture); }
  void Assign(const QImage& picture);
  void Clear() { image_ = QImage(); }
  bool IsEmpty() const { return image_.isNull(); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  // The picture with its transparent colour cleared (premultiplied ARGB).
  const QImage& Image() const { return image_; }
  void DrawAt(QPainter& painter, int x, int y) const;

 private:
  QImage image_;
};

}  // namespace zervik
