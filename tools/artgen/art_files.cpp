#include "art_files.h"

#include <QFile>
#include <algorithm>
#include <cmath>

#include "quantize.h"

namespace {

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void Put16(QByteArray& b, uint16_t v) {
  b.append(static_cast<char>(v & 0xff));
  b.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xff));
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(bytes) == bytes.size();
}

}  // namespace

bool WriteBmp8(const QString& path, const QImage& image, std::optional<QRgb> keep) {
  const TPalettedImage p = Quantize(image, keep);
  const uint32_t stride = (static_cast<uint32_t>(p.width) + 3) & ~3u;
  const uint32_t colours = static_cast<uint32_t>(p.palette.size());
  const uint32_t dataOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * colours;
  const uint32_t dataSize = stride * static_cast<uint32_t>(p.height);

  QByteArray b;
  b.append("BM");
  Put32(b, dataOffset + dataSize);
  Put32(b, 0);
  Put32(b, dataOffset);
  Put32(b, kBmpInfoHeaderSize);
  Put32(b, static_cast<uint32_t>(p.width));
  Put32(b, static_cast<uint32_t>(p.height));  // positive: rows stored bottom-up
  Put16(b, 1);
  Put16(b, 8);
  Put32(b, 0);  // no compression
  Put32(b, dataSize);
  Put32(b, kPixelsPerMetre);
  Put32(b, kPixelsPerMetre);
  Put32(b, colours);
  Put32(b, 0);
  for (QRgb c : p.palette) {
    b.append(static_cast<char>(qBlue(c)));
    b.append(static_cast<char>(qGreen(c)));
    b.append(static_cast<char>(qRed(c)));
    b.append('\0');
  }
  for (int y = p.height - 1; y >= 0; --y) {
    b.append(reinterpret_cast<const char*>(&p.indices[static_cast<size_t>(y) * p.width]), p.width);
    for (uint32_t pad = p.width; pad < stride; ++pad) b.append('\0');
  }
  return WriteAll(path, b);
}

bool WriteWav16(const QString& path, const std::vector<double>& samples, int sampleRate) {
  const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
  QByteArray b;
  b.append("RIFF");
  Put32(b, 36 + dataSize);
  b.append("WAVE");
  b.append("fmt ");
  Put32(b, 16);
  Put16(b, 1);  // PCM
  Put16(b, 1);  // mono
  Put32(b, static_cast<uint32_t>(sampleRate));
  Put32(b, static_cast<uint32_t>(sampleRate) * 2);
  Put16(b, 2);
  Put16(b, 16);
  b.append("data");
  Put32(b, dataSize);
  for (double s : samples) {
    const double clipped = std::clamp(s, -1.0, 1.0);
    const auto v = static_cast<int16_t>(std::lround(clipped * 32767.0));
    Put16(b, static_cast<uint16_t>(v));
  }
  return WriteAll(path, b);
}
