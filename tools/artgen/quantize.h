#pragma once
// Reduction of a true-colour picture to a palette of at most 256 colours.

#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

struct TPalettedImage {
  int width = 0;
  int height = 0;
  std::vector<QRgb> palette;     // opaque colours, each one distinct
  std::vector<uint8_t> indices;  // width * height, top row first
};

// A picture with no more than 256 colours keeps them exactly; a richer one is
// reduced by median cut. `keep` is always an exact palette entry, and only
// pixels of exactly that colour map to it.
TPalettedImage Quantize(const QImage& image, std::optional<QRgb> keep);
