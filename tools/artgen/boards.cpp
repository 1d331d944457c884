#include "boards.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "noise.h"

namespace {

struct TColour {
  double r, g, b;
};

TColour Lerp(TColour a, TColour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

TColour Scale(TColour c, double f) { return {c.r * f, c.g * f, c.b * f}; }

QRgb ToRgb(TColour c) {
  auto v = [](double x) { return std::clamp(static_cast<int>(std::lround(x)), 0, 255); };
  return qRgb(v(c.r), v(c.g), v(c.b));
}

// Paints the 64 squares with `square(x, y, light, index)` in square-local
// coordinates, and the frame with `frame(x, y, depth)` where depth 0 is the
// outermost ring.
using TSquarePaint = std::function<TColour(double x, double y, bool light, int index)>;
using TFramePaint = std::function<TColour(int x, int y, int depth)>;

QImage PaintBoard(const TSquarePaint& square, const TFramePaint& frame) {
  QImage img(kBoardSize, kBoardSize, QImage::Format_RGB32);
  for (int y = 0; y < kBoardSize; ++y)
    for (int x = 0; x < kBoardSize; ++x) {
      const int depth = std::min(std::min(x, y), std::min(kBoardSize - 1 - x, kBoardSize - 1 - y));
      TColour c;
      if (depth < kBoardMargin) {
        c = frame(x, y, depth);
      } else {
        const int col = (x - kBoardMargin) / kSquareSize, row = (y - kBoardMargin) / kSquareSize;
        const double lx = (x - kBoardMargin) % kSquareSize, ly = (y - kBoardMargin) % kSquareSize;
        c = square(lx, ly, (col + row) % 2 == 0, row * 8 + col);
      }
      img.setPixel(x, y, ToRgb(c));
    }
  return img;
}

// A raised frame lit from the top left: highlight on the outer top and left
// edges, shadow on the bottom and right, and a dark inner line where the frame
// meets the squares.
double FrameBevel(int x, int y, int depth) {
  const bool topLeft =
      (y == depth && x >= depth && x < kBoardSize - depth) || (x == depth && y >= depth);
  if (depth == 0) return topLeft ? 1.22 : 0.62;
  if (depth == kBoardMargin - 1) return 0.58;
  if (depth == 1) return topLeft ? 1.12 : 0.82;
  return 1.0;
}

// ---- Wood ---------------------------------------------------------------

constexpr uint32_t kWoodSeed = 1204;
constexpr TColour kMaple{226, 193, 143};
constexpr TColour kMapleLate{203, 163, 111};
constexpr TColour kWalnut{146, 94, 58};
constexpr TColour kWalnutLate{110, 66, 38};
constexpr TColour kFrameWood{92, 54, 30};
constexpr TColour kFrameWoodLate{70, 38, 20};

// Grain: growth rings cut lengthwise, so stripes along the grain direction
// bent by low noise, with fine fibres on top.
double Grain(double along, double across, uint32_t seed, double ringsPerPixel) {
  const double bend = 9.0 * (Fbm(along * 0.008, across * 0.03, 3, seed) - 0.5);
  const double phase = (across + bend) * ringsPerPixel * 2 * std::numbers::pi;
  double ring = 0.5 + 0.5 * std::sin(phase + 1.4 * Fbm(along * 0.015, across * 0.05, 2, seed + 7));
  ring = std::pow(ring, 2.2);  // narrow dark late wood, wide light early wood
  const double fibre = ValueNoise(along * 0.08, across * 1.1, seed + 13) - 0.5;
  return std::clamp(ring + 0.35 * fibre, 0.0, 1.0);
}

TBoard Wood() {
  auto square = [](double x, double y, bool light, int index) {
    // Each square is its own piece of veneer: its own offset, and the grain
    // turns a quarter from one square to the next, as on an inlaid board.
    const uint32_t seed = kWoodSeed + static_cast<uint32_t>(index) * 31u;
    const double ox = HashUnit(index, 1, kWoodSeed) * 500, oy = HashUnit(index, 2, kWoodSeed) * 500;
    const bool turned = (index / 8) % 2 == 1;
    const double along = (turned ? y : x) + ox, across = (turned ? x : y) + oy;
    const double g = Grain(along, across, seed, light ? 1.0 / 9.0 : 1.0 / 7.0);
    const double tone = 0.96 + 0.08 * Fbm(x * 0.03 + ox, y * 0.03 + oy, 2, seed + 3);
    const TColour c =
        light ? Lerp(kMaple, kMapleLate, 0.55 * g) : Lerp(kWalnut, kWalnutLate, 0.7 * g);
    return Scale(c, tone);
  };
  auto frame = [](int x, int y, int depth) {
    const bool sideways = std::min(x, kBoardSize - 1 - x) < std::min(y, kBoardSize - 1 - y);
    const double along = sideways ? y : x, across = sideways ? x : y;
    const double g = Grain(along, across * 3.0, kWoodSeed + 999, 1.0 / 6.0);
    return Scale(Lerp(kFrameWood, kFrameWoodLate, g), FrameBevel(x, y, depth));
  };
  return {QStringLiteral("Wood"), PaintBoard(square, frame)};
}

// ---- Marble -------------------------------------------------------------

constexpr uint32_t kMarbleSeed = 77;
constexpr TColour kMarbleWhite{238, 236, 230};
constexpr TColour kMarbleWhiteVein{150, 150, 156};
constexpr TColour kMarbleGreen{86, 116, 104};
constexpr TColour kMarbleGreenVein{38, 56, 50};
constexpr TColour kMarbleGreenLight{150, 176, 160};
constexpr TColour kMarbleFrame{58, 62, 66};

// Veins where a turbulent sine crosses zero.
double Vein(double x, double y, uint32_t seed, double sharpness) {
  const double turbulence = Fbm(x * 0.012, y * 0.012, 5, seed);
  const double v = std::sin((x * 0.6 + y * 0.8) * 0.025 + 9.0 * turbulence);
  return std::pow(1.0 - std::abs(v), sharpness);
}

TBoard Marble() {
  auto square = [](double x, double y, bool light, int index) {
    const double ox = HashUnit(index, 3, kMarbleSeed) * 800,
                 oy = HashUnit(index, 4, kMarbleSeed) * 800;
    const double cloud = Fbm((x + ox) * 0.04, (y + oy) * 0.04, 3, kMarbleSeed + 5);
    if (light) {
      const double vein = Vein(x + ox, y + oy, kMarbleSeed, 14.0);
      return Lerp(Scale(kMarbleWhite, 0.97 + 0.05 * cloud), kMarbleWhiteVein, 0.55 * vein);
    }
    const double vein = Vein(x + ox, y + oy, kMarbleSeed + 1, 10.0);
    const double fleck = Vein(y + oy, x + ox, kMarbleSeed + 2, 30.0);
    TColour c = Scale(kMarbleGreen, 0.9 + 0.2 * cloud);
    c = Lerp(c, kMarbleGreenVein, 0.6 * vein);
    return Lerp(c, kMarbleGreenLight, 0.5 * fleck);
  };
  auto frame = [](int x, int y, int depth) {
    const double vein = Vein(x, y, kMarbleSeed + 9, 12.0);
    return Scale(Lerp(kMarbleFrame, TColour{120, 124, 128}, 0.5 * vein), FrameBevel(x, y, depth));
  };
  return {QStringLiteral("Marble"), PaintBoard(square, frame)};
}

// ---- Green --------------------------------------------------------------

constexpr uint32_t kGreenSeed = 5;
constexpr TColour kGreenLight{238, 238, 212};
constexpr TColour kGreenDark{118, 150, 86};
constexpr TColour kGreenFrame{70, 92, 52};

// A printed tournament board: flat colours with a faint paper texture.
TBoard Green() {
  auto square = [](double x, double y, bool light, int index) {
    const double paper =
        ValueNoise((x + index * 61) * 0.7, (y + index * 37) * 0.7, kGreenSeed) - 0.5;
    return Scale(light ? kGreenLight : kGreenDark, 1.0 + 0.025 * paper);
  };
  auto frame = [](int x, int y, int depth) { return Scale(kGreenFrame, FrameBevel(x, y, depth)); };
  return {QStringLiteral("Green"), PaintBoard(square, frame)};
}

}  // namespace

std::vector<TBoard> DrawBoards() { return {Wood(), Marble(), Green()}; }
