#include "pieces.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

#include "fonts.h"

namespace {

// Pieces are drawn at four times their size and reduced, which gives the
// edges sixteen levels of coverage.
constexpr int kSuper = 4;
constexpr int kHiSize = kPieceSize * kSuper;

// A reduced pixel covered less than this becomes transparent. Above it, the
// uncovered part is filled with a neutral middle tone instead of the key
// colour, so the edge looks smooth on light and on dark squares alike.
constexpr double kCoverageThreshold = 0.45;
constexpr QRgb kEdgeMidTone = qRgb(136, 122, 104);

constexpr QRgb kClassicKey = qRgb(255, 0, 255);
constexpr QRgb kModernKey = qRgb(0, 255, 0);

// Classic: ivory and ebony.
constexpr QRgb kIvoryTop = qRgb(255, 253, 244);
constexpr QRgb kIvoryBottom = qRgb(219, 206, 180);
constexpr QRgb kIvoryLine = qRgb(28, 24, 20);
constexpr QRgb kEbonyTop = qRgb(70, 64, 60);
constexpr QRgb kEbonyBottom = qRgb(18, 16, 16);
constexpr QRgb kEbonyDetail = qRgb(222, 214, 198);
constexpr QRgb kEbonyEdge = qRgb(196, 188, 174);

constexpr double kClassicKingHeight = 50.0;  // in final pixels
constexpr double kClassicBaseY = 56.0;
constexpr int kEbonyEdgeWidth = 4;  // in super pixels: one final pixel

// Modern: flat two-tone shapes.
constexpr QRgb kModernWhiteFace = qRgb(250, 249, 245);
constexpr QRgb kModernWhiteShade = qRgb(208, 210, 214);
constexpr QRgb kModernWhiteLine = qRgb(40, 44, 52);
constexpr QRgb kModernBlackFace = qRgb(74, 80, 94);
constexpr QRgb kModernBlackShade = qRgb(44, 48, 58);
constexpr QRgb kModernBlackLine = qRgb(226, 228, 232);
constexpr double kModernLineWidth = 2.2;

QRgb Mix(QRgb a, QRgb b, double t) {
  return qRgb(static_cast<int>(qRed(a) + (qRed(b) - qRed(a)) * t + 0.5),
              static_cast<int>(qGreen(a) + (qGreen(b) - qGreen(a)) * t + 0.5),
              static_cast<int>(qBlue(a) + (qBlue(b) - qBlue(a)) * t + 0.5));
}

// A two-level mask at super resolution.
struct TMask {
  std::vector<uint8_t> bits = std::vector<uint8_t>(kHiSize * kHiSize, 0);
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < kHiSize && y < kHiSize &&
           bits[static_cast<size_t>(y) * kHiSize + x];
  }
  void Set(int x, int y, bool v) { bits[static_cast<size_t>(y) * kHiSize + x] = v; }
};

TMask MaskOfPath(const QPainterPath& path) {
  QImage img(kHiSize, kHiSize, QImage::Format_Grayscale8);
  img.fill(0);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.fillPath(path, QColor(255, 255, 255));
  p.end();
  TMask m;
  for (int y = 0; y < kHiSize; ++y)
    for (int x = 0; x < kHiSize; ++x) m.Set(x, y, img.constScanLine(y)[x] >= 128);
  return m;
}

// The mask with every region that the outside cannot reach filled in: the
// silhouette of a glyph drawn in outline.
TMask FillHoles(const TMask& m) {
  std::vector<uint8_t> outside(kHiSize * kHiSize, 0);
  std::vector<std::pair<int, int>> stack;
  auto push = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= kHiSize || y >= kHiSize) return;
    size_t i = static_cast<size_t>(y) * kHiSize + x;
    if (outside[i] || m.bits[i]) return;
    outside[i] = 1;
    stack.emplace_back(x, y);
  };
  for (int i = 0; i < kHiSize; ++i) {
    push(i, 0);
    push(i, kHiSize - 1);
    push(0, i);
    push(kHiSize - 1, i);
  }
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    push(x + 1, y);
    push(x - 1, y);
    push(x, y + 1);
    push(x, y - 1);
  }
  TMask r;
  for (size_t i = 0; i < r.bits.size(); ++i) r.bits[i] = !outside[i];
  return r;
}

TMask Dilate(const TMask& m, int radius) {
  TMask r;
  for (int y = 0; y < kHiSize; ++y)
    for (int x = 0; x < kHiSize; ++x) {
      bool on = false;
      for (int dy = -radius; dy <= radius && !on; ++dy)
        for (int dx = -radius; dx <= radius && !on; ++dx)
          if (dx * dx + dy * dy <= radius * radius + radius && m.At(x + dx, y + dy)) on = true;
      r.Set(x, y, on);
    }
  return r;
}

// Reduces a super-resolution picture (premultiplied alpha) to a piece picture
// on the key colour.
QImage Reduce(const QImage& hi, QRgb key) {
  QImage out(kPieceSize, kPieceSize, QImage::Format_RGB32);
  const double n = kSuper * kSuper;
  for (int y = 0; y < kPieceSize; ++y)
    for (int x = 0; x < kPieceSize; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSuper; ++sy) {
        const auto* line = reinterpret_cast<const QRgb*>(hi.constScanLine(y * kSuper + sy));
        for (int sx = 0; sx < kSuper; ++sx) {
          const QRgb c = line[x * kSuper + sx];
          r += qRed(c);
          g += qGreen(c);
          b += qBlue(c);
          a += qAlpha(c);
        }
      }
      const double coverage = a / (255.0 * n);
      QRgb c = key;
      if (coverage >= kCoverageThreshold) {
        const double rest = 1.0 - coverage;
        c = qRgb(static_cast<int>(r / n + qRed(kEdgeMidTone) * rest + 0.5),
                 static_cast<int>(g / n + qGreen(kEdgeMidTone) * rest + 0.5),
                 static_cast<int>(b / n + qBlue(kEdgeMidTone) * rest + 0.5));
        if ((c | 0xff000000u) == (key | 0xff000000u)) c = qRgb(qRed(c), qGreen(c) ^ 1, qBlue(c));
      }
      out.setPixel(x, y, c);
    }
  return out;
}

QImage NewSuperCanvas() {
  QImage hi(kHiSize, kHiSize, QImage::Format_ARGB32_Premultiplied);
  hi.fill(Qt::transparent);
  return hi;
}

// ---- Classic ------------------------------------------------------------

constexpr char16_t kWhiteGlyphs[kPieceKinds] = {u'\u2656', u'\u2658', u'\u2657',
                                                u'\u2655', u'\u2654', u'\u2659'};
constexpr char16_t kBlackGlyphs[kPieceKinds] = {u'\u265C', u'\u265E', u'\u265D',
                                                u'\u265B', u'\u265A', u'\u265F'};

// Places a glyph outline: common scale, centred, standing on the base line.
QPainterPath PlaceGlyph(const QRawFont& font, char16_t glyph, double scale) {
  const QPainterPath raw = TextPath(font, QString(QChar(glyph)), QPointF(0, 0));
  const QRectF box = raw.boundingRect();
  QTransform t;
  t.translate(kHiSize / 2.0, kClassicBaseY * kSuper);
  t.scale(scale, scale);
  t.translate(-box.center().x(), -box.bottom());
  return t.map(raw);
}

QImage DrawIvory(const QPainterPath& outline) {
  const TMask lines = MaskOfPath(outline);
  const TMask body = FillHoles(lines);
  QImage hi = NewSuperCanvas();
  for (int y = 0; y < kHiSize; ++y) {
    const QRgb fill = Mix(kIvoryTop, kIvoryBottom, static_cast<double>(y) / kHiSize);
    auto* line = reinterpret_cast<QRgb*>(hi.scanLine(y));
    for (int x = 0; x < kHiSize; ++x)
      if (body.At(x, y)) line[x] = lines.At(x, y) ? kIvoryLine : fill;
  }
  return hi;
}

QImage DrawEbony(const QPainterPath& solid) {
  const TMask ink = MaskOfPath(solid);
  const TMask body = FillHoles(ink);
  const TMask halo = Dilate(body, kEbonyEdgeWidth);
  QImage hi = NewSuperCanvas();
  for (int y = 0; y < kHiSize; ++y) {
    const QRgb fill = Mix(kEbonyTop, kEbonyBottom, static_cast<double>(y) / kHiSize);
    auto* line = reinterpret_cast<QRgb*>(hi.scanLine(y));
    for (int x = 0; x < kHiSize; ++x) {
      if (!halo.At(x, y)) continue;
      if (!body.At(x, y))
        line[x] = kEbonyEdge;
      else
        line[x] = ink.At(x, y) ? fill : kEbonyDetail;
    }
  }
  return hi;
}

// ---- Modern -------------------------------------------------------------

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath p;
  p.addPolygon(QPolygonF(QList<QPointF>(points)));
  p.closeSubpath();
  return p;
}

QPainterPath Rect(double l, double t, double r, double b, double radius = 0) {
  QPainterPath p;
  p.addRoundedRect(QRectF(QPointF(l, t), QPointF(r, b)), radius, radius);
  return p;
}

QPainterPath Circle(double cx, double cy, double r) {
  QPainterPath p;
  p.addEllipse(QPointF(cx, cy), r, r);
  return p;
}

QPainterPath ModernBase() { return Rect(14, 47, 46, 54, 2); }

QPainterPath ModernShape(int kind) {
  QPainterPath s;
  switch (kind) {
    case 0:  // rook
      s = Rect(17, 11, 43, 21, 1)
              .subtracted(Rect(22.5, 10, 27, 16))
              .subtracted(Rect(33, 10, 37.5, 16))
              .united(Polygon({{21, 21}, {39, 21}, {41, 47}, {19, 47}}));
      break;
    case 1:  // knight
      s = Polygon({{17, 47},
                   {19, 40},
                   {26, 31},
                   {20, 31},
                   {14, 29},
                   {10.5, 25},
                   {11.5, 20},
                   {21, 11.5},
                   {24, 5},
                   {28.5, 10},
                   {36, 11.5},
                   {42.5, 19},
                   {45.5, 31},
                   {44, 47}})
              .subtracted(Circle(23.5, 17.5, 2));
      break;
    case 2:  // bishop
    {
      QPainterPath mitre;
      mitre.addEllipse(QPointF(30, 26), 9, 12);
      QPainterPath slit = Rect(-1.3, -7, 1.3, 7);
      slit = QTransform().translate(31, 24).rotate(40).map(slit);
      s = mitre.subtracted(slit)
              .united(Circle(30, 11, 3.2))
              .united(Rect(21, 37.5, 39, 41, 1))
              .united(Polygon({{25, 41}, {35, 41}, {38, 47}, {22, 47}}));
      break;
    }
    case 3:  // queen
      s = Polygon({{21, 40},
                   {15, 17},
                   {21.5, 27},
                   {22.5, 13},
                   {27, 25},
                   {30, 10},
                   {33, 25},
                   {37.5, 13},
                   {38.5, 27},
                   {45, 17},
                   {39, 40}})
              .united(Circle(15, 16, 2.6))
              .united(Circle(22.5, 12, 2.6))
              .united(Circle(30, 9, 2.6))
              .united(Circle(37.5, 12, 2.6))
              .united(Circle(45, 16, 2.6))
              .united(Rect(19, 39.5, 41, 43, 1))
              .united(Polygon({{21, 43}, {39, 43}, {40, 47}, {20, 47}}));
      break;
    case 4:  // king
    {
      QPainterPath dome;
      dome.addEllipse(QPointF(30, 26), 13, 7.5);
      s = dome.united(Polygon({{17.2, 27}, {42.8, 27}, {39.5, 40}, {20.5, 40}}))
              .united(Rect(28, 4, 32, 19.5))
              .united(Rect(24, 8, 36, 12))
              .united(Rect(19, 39.5, 41, 43, 1))
              .united(Polygon({{21, 43}, {39, 43}, {40, 47}, {20, 47}}));
      break;
    }
    default:  // pawn
      s = Circle(30, 19, 7.5)
              .united(Rect(22, 27.5, 38, 31, 1))
              .united(Polygon({{25, 31}, {35, 31}, {39, 47}, {21, 47}}));
      break;
  }
  return s.united(ModernBase()).simplified();
}

QImage DrawModern(int kind, bool white) {
  const QPainterPath shape = QTransform::fromScale(kSuper, kSuper).map(ModernShape(kind));
  QImage hi = NewSuperCanvas();
  QPainter p(&hi);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor line = QColor::fromRgb(white ? kModernWhiteLine : kModernBlackLine);
  p.setPen(QPen(line, kModernLineWidth * kSuper, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor::fromRgb(white ? kModernWhiteFace : kModernBlackFace));
  p.drawPath(shape);
  // The right half in a shade: light from the left, as on a flat icon.
  p.setClipRect(QRectF(kHiSize / 2.0, 0, kHiSize / 2.0, kHiSize));
  p.setClipPath(shape, Qt::IntersectClip);
  p.fillPath(shape, QColor::fromRgb(white ? kModernWhiteShade : kModernBlackShade));
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
  p.end();
  return hi;
}

}  // namespace

std::optional<TPieceSet> DrawClassicSet() {
  const auto font = LoadFont(kFreeSerifFile, 100);
  if (!font) return std::nullopt;
  const QPainterPath king = TextPath(*font, QString(QChar(kWhiteGlyphs[4])), QPointF(0, 0));
  if (king.isEmpty()) return std::nullopt;
  const double scale = kClassicKingHeight * kSuper / king.boundingRect().height();
  TPieceSet set;
  set.name = QStringLiteral("Classic");
  set.key = kClassicKey;
  for (int k = 0; k < kPieceKinds; ++k) {
    set.pictures[k] = Reduce(DrawIvory(PlaceGlyph(*font, kWhiteGlyphs[k], scale)), kClassicKey);
    set.pictures[kPieceKinds + k] =
        Reduce(DrawEbony(PlaceGlyph(*font, kBlackGlyphs[k], scale)), kClassicKey);
  }
  return set;
}

TPieceSet DrawModernSet() {
  TPieceSet set;
  set.name = QStringLiteral("Modern");
  set.key = kModernKey;
  for (int k = 0; k < kPieceKinds; ++k) {
    set.pictures[k] = Reduce(DrawModern(k, true), kModernKey);
    set.pictures[kPieceKinds + k] = Reduce(DrawModern(k, false), kModernKey);
  }
  return set;
}
