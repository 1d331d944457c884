#pragma once
// Writers for the two file formats the program reads: Windows bitmaps and
// PCM wave files. Written by hand rather than through QImage::save so that the
// bytes never depend on the Qt version that runs the generator.

#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Writes `image` as an uncompressed 8-bit palette bitmap (the pictures are
// meant to be 256-colour files). `keep`, when given, is a colour that must
// come through exactly: the transparent colour of a piece picture.
bool WriteBmp8(const QString& path, const QImage& image, std::optional<QRgb> keep = std::nullopt);

// Writes mono 16-bit PCM; `samples` are in -1 … 1 and are clipped.
bool WriteWav16(const QString& path, const std::vector<double>& samples, int sampleRate);
