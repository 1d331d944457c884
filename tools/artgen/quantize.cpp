#include "quantize.h"

#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr int kMaxColours = 256;

struct TColourCount {
  std::array<int, 3> rgb;
  long count;
};

// A box of the colour cube over a range of the colour list.
struct TBox {
  int begin;
  int end;
};

std::pair<int, int> LongestAxis(const std::vector<TColourCount>& colours, TBox box) {
  int best = 0;
  int bestRange = -1;
  for (int ch = 0; ch < 3; ++ch) {
    int lo = 255, hi = 0;
    for (int i = box.begin; i < box.end; ++i) {
      lo = std::min(lo, colours[i].rgb[ch]);
      hi = std::max(hi, colours[i].rgb[ch]);
    }
    if (hi - lo > bestRange) {
      bestRange = hi - lo;
      best = ch;
    }
  }
  return {best, bestRange};
}

std::vector<QRgb> MedianCut(std::vector<TColourCount> colours, int wanted) {
  std::vector<TBox> boxes{{0, static_cast<int>(colours.size())}};
  while (static_cast<int>(boxes.size()) < wanted) {
    // Split the box whose spread weighs most: wide boxes holding many pixels.
    int pick = -1;
    double pickScore = 0;
    int pickAxis = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].end - boxes[b].begin < 2) continue;
      auto [axis, range] = LongestAxis(colours, boxes[b]);
      long pixels = 0;
      for (int i = boxes[b].begin; i < boxes[b].end; ++i) pixels += colours[i].count;
      double score = static_cast<double>(range) * static_cast<double>(pixels);
      if (range > 0 && score > pickScore) {
        pickScore = score;
        pick = static_cast<int>(b);
        pickAxis = axis;
      }
    }
    if (pick < 0) break;
    TBox box = boxes[pick];
    std::stable_sort(colours.begin() + box.begin, colours.begin() + box.end,
                     [pickAxis](const TColourCount& a, const TColourCount& b) {
                       return a.rgb[pickAxis] < b.rgb[pickAxis];
                     });
    long total = 0;
    for (int i = box.begin; i < box.end; ++i) total += colours[i].count;
    long running = 0;
    int cut = box.begin + 1;
    for (int i = box.begin; i < box.end - 1; ++i) {
      running += colours[i].count;
      cut = i + 1;
      if (running * 2 >= total) break;
    }
    boxes[pick] = {box.begin, cut};
    boxes.push_back({cut, box.end});
  }
  std::vector<QRgb> palette;
  for (const TBox& box : boxes) {
    double sum[3] = {0, 0, 0};
    double n = 0;
    for (int i = box.begin; i < box.end; ++i) {
      for (int ch = 0; ch < 3; ++ch)
        sum[ch] += static_cast<double>(colours[i].rgb[ch]) * colours[i].count;
      n += colours[i].count;
    }
    palette.push_back(qRgb(static_cast<int>(sum[0] / n + 0.5), static_cast<int>(sum[1] / n + 0.5),
                           static_cast<int>(sum[2] / n + 0.5)));
  }
  std::sort(palette.begin(), palette.end());
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c, int skip) {
  int best = 0;
  long bestDist = -1;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    if (i == skip) continue;
    long dr = qRed(palette[i]) - qRed(c), dg = qGreen(palette[i]) - qGreen(c),
         db = qBlue(palette[i]) - qBlue(c);
    long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (bestDist < 0 || d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  return best;
}

}  // namespace

TPalettedImage Quantize(const QImage& source, std::optional<QRgb> keep) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  TPalettedImage out;
  out.width = image.width();
  out.height = image.height();

  std::map<QRgb, long> histogram;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = image.pixel(x, y) | 0xff000000u;
      if (keep && c == (*keep | 0xff000000u)) continue;
      ++histogram[c];
    }

  const int room = kMaxColours - (keep ? 1 : 0);
  if (static_cast<int>(histogram.size()) <= room) {
    for (const auto& [c, n] : histogram) out.palette.push_back(c);
  } else {
    std::vector<TColourCount> colours;
    for (const auto& [c, n] : histogram) colours.push_back({{qRed(c), qGreen(c), qBlue(c)}, n});
    out.palette = MedianCut(std::move(colours), room);
  }
  int keepIndex = -1;
  if (keep) {
    const QRgb k = *keep | 0xff000000u;
    // A reduced colour that came out equal to the kept one would turn part of
    // the picture transparent: nudge it away.
    for (QRgb& c : out.palette)
      if (c == k) c = qRgb(qRed(c), qGreen(c) ^ 1, qBlue(c));
    keepIndex = static_cast<int>(out.palette.size());
    out.palette.push_back(k);
  }

  std::map<QRgb, uint8_t> lookup;
  out.indices.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = image.pixel(x, y) | 0xff000000u;
      uint8_t index;
      if (keepIndex >= 0 && c == out.palette[keepIndex]) {
        index = static_cast<uint8_t>(keepIndex);
      } else {
        auto it = lookup.find(c);
        if (it == lookup.end())
          it = lookup.emplace(c, static_cast<uint8_t>(Nearest(out.palette, c, keepIndex))).first;
        index = it->second;
      }
      out.indices[static_cast<size_t>(y) * out.width + x] = index;
    }
  return out;
}
