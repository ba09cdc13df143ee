#pragma once

#include "indexed_image.h"

#include <QByteArray>
#include <QImage>

#include <vector>

namespace torvane::art {

// A Windows bitmap file: 24 bits a pixel, uncompressed, rows bottom-up,
// 96 dots per inch.
QByteArray encodeBmp24(const QImage& image);

// One picture of an icon file, drawn on a palette of 2 or 16 colours.
// Pixels holding kIconTransparent let the desktop show through.
struct IconImage {
  static constexpr std::uint8_t kIconTransparent = 0xFF;
  IndexedImage pixels;
  std::vector<QRgb> palette;
};

QByteArray encodeIco(const std::vector<IconImage>& images);

// The same picture as a 32-bit image with alpha, for PNG icons and checks.
QImage toArgb(const IconImage& icon);

}  // namespace torvane::art
